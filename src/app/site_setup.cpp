#include "app/site_setup.h"

#include <string_view>

#include "base/files.h"
#include "sites/site_directory.h"
#include "sites/site_hosts.h"
#include "sites/site_workers.h"

namespace quenbo::app {

SiteSetup setUpSites(const std::filesystem::path& executableDirectory,
                     const std::filesystem::path& hostsFile, bool newConnections) {
  sites::SiteHosts hosts = sites::SiteHosts::load(executableDirectory, hostsFile);
  if (newConnections) hosts.setReuseConnections(false);
  auto directory = std::make_shared<sites::SiteDirectory>(hosts);
  SiteSetup setup{sites::makeSiteWorkers(directory),
                  directory,
                  [directory](int site) { return directory->hasHost(site); },
                  hosts.problems(),
                  hosts.boardHost(),
                  hosts.updateService()};
  setup.hostsOptionUnreadable = !hostsFile.empty() && !readFile(hostsFile).has_value();
  return setup;
}

std::filesystem::path hostsFileOption(std::span<const char* const> arguments) {
  std::filesystem::path file;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i] ? arguments[i] : "";
    if (argument == sites::kHostsOption && i + 1 < arguments.size() && arguments[i + 1]) {
      file = arguments[++i];
    } else if (argument.starts_with(sites::kHostsOption) &&
               argument.substr(sites::kHostsOption.size()).starts_with('=')) {
      file = argument.substr(sites::kHostsOption.size() + 1);
    }
  }
  return file;
}

}  // namespace quenbo::app
