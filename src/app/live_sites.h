// The search sites of the running window: workers that use the hosts files as they were
// last read, so that hosts saved in the hosts editor reach the next search without a
// restart. A search's workers pick the hosts up as each one starts.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "core/search_job.h"
#include "sites/hosts_files.h"
#include "sites/site_hosts.h"

namespace quenbo::app {

class LiveSites final {
 public:
  // Reads the hosts files of the program in `executableDirectory` (hostsFileOrder), then
  // `hostsFile` when not empty.
  LiveSites(std::filesystem::path executableDirectory, std::filesystem::path hostsFile);
  LiveSites(const LiveSites&) = delete;
  LiveSites& operator=(const LiveSites&) = delete;

  // Reads the files again; workers that start from now on use what they hold. Any thread.
  void reload();

  // One worker per site; each runs the site with the hosts of the latest reload. They may
  // outlive this object.
  std::array<core::SiteWorker, core::kSiteCount> workers() const;
  // Whether the site has a host in the latest reading. Any thread.
  bool hasHost(int site) const;
  // The files read, in order.
  std::vector<HostsFile> files() const;

 private:
  struct Current {
    SiteHosts hosts;
    std::array<core::SiteWorker, core::kSiteCount> workers;
  };
  struct Shared {
    mutable std::mutex mutex;
    std::shared_ptr<const Current> current;  // guarded by mutex; replaced whole by reload
  };

  std::shared_ptr<const Current> current() const;

  const std::filesystem::path executableDirectory_;
  const std::filesystem::path hostsFile_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();  // also held by the workers
};

}  // namespace quenbo::app
