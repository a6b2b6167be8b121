#include "app/live_sites.h"

#include "sites/site_workers.h"

namespace quenbo::app {

LiveSites::LiveSites(std::filesystem::path executableDirectory, std::filesystem::path hostsFile)
    : executableDirectory_(std::move(executableDirectory)),
      hostsFile_(std::move(hostsFile)),
      directory_(std::make_shared<SiteDirectory>(SiteHosts::load(files()))) {}

void LiveSites::reload() { directory_->replace(SiteHosts::load(files())); }

std::array<core::SiteWorker, core::kSiteCount> LiveSites::workers() const {
  return makeSiteWorkers(directory_);
}

std::vector<HostsFile> LiveSites::files() const {
  return hostsFileOrder(executableDirectory_, hostsFile_);
}

}  // namespace quenbo::app
