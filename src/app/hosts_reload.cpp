#include "app/hosts_reload.h"

#include "sites/site_directory.h"
#include "sites/site_hosts.h"

namespace quenbo::app {

std::vector<std::string> reloadHosts(SiteSetup& sites,
                                     const std::filesystem::path& executableDirectory,
                                     const std::filesystem::path& hostsFile) {
  sites::SiteHosts hosts = sites::SiteHosts::load(executableDirectory, hostsFile);
  if (sites.directory) sites.directory->replace(hosts);
  return hosts.problems();
}

}  // namespace quenbo::app
