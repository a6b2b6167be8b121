#include "app/site_setup.h"

#include <string_view>

#include "base/encoding.h"
#include "sites/site_hosts.h"
#include "sites/site_workers.h"

namespace quenbo::app {

SiteSetup setUpSites(const Text& installDirectory, const Text& hostsFile) {
  SiteHosts hosts = SiteHosts::load(installDirectory, hostsFile);
  return {makeSiteWorkers(hosts), hosts.problems(), hosts.boardHost(), hosts.updateService()};
}

Text hostsFileOption(std::span<const char* const> arguments) {
  Text file;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i] ? arguments[i] : "";
    if (argument == kHostsOption && i + 1 < arguments.size() && arguments[i + 1]) {
      file = utf8ToGbk(arguments[++i]);
    } else if (argument.starts_with(kHostsOption) &&
               argument.substr(kHostsOption.size()).starts_with('=')) {
      file = utf8ToGbk(argument.substr(kHostsOption.size() + 1));
    }
  }
  return file;
}

}  // namespace quenbo::app
