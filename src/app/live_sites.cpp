#include "app/live_sites.h"

#include "sites/site_workers.h"

namespace quenbo::app {

LiveSites::LiveSites(std::filesystem::path executableDirectory, std::filesystem::path hostsFile)
    : executableDirectory_(std::move(executableDirectory)), hostsFile_(std::move(hostsFile)) {
  reload();
}

void LiveSites::reload() {
  auto next = std::make_shared<Current>();
  next->hosts = SiteHosts::load(files());
  next->workers = makeSiteWorkers(next->hosts);
  std::lock_guard lock(shared_->mutex);
  shared_->current = std::move(next);
}

std::shared_ptr<const LiveSites::Current> LiveSites::current() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->current;
}

std::array<core::SiteWorker, core::kSiteCount> LiveSites::workers() const {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  for (int site = 0; site < core::kSiteCount; ++site) {
    workers[static_cast<std::size_t>(site)] = [shared = shared_, site](core::SiteRun& run) {
      std::shared_ptr<const Current> now;
      {
        std::lock_guard lock(shared->mutex);
        now = shared->current;
      }
      // The worker keeps the hosts it started with, even when a reload comes meanwhile.
      const auto& worker = now->workers[static_cast<std::size_t>(site)];
      if (worker) worker(run);
    };
  }
  return workers;
}

bool LiveSites::hasHost(int site) const {
  if (site < 0 || site >= core::kSiteCount) return false;
  return !current()->hosts.host(site).empty();
}

std::vector<HostsFile> LiveSites::files() const {
  return hostsFileOrder(executableDirectory_, hostsFile_);
}

}  // namespace quenbo::app
