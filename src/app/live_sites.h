// The search sites of the running window: the hosts files read into a site directory that a
// save in the hosts editor refreshes, so the next search uses the new hosts without a
// restart. Each worker takes the site's hosts as it starts.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/search_job.h"
#include "sites/hosts_files.h"
#include "sites/site_directory.h"

namespace quenbo::app {

class LiveSites final {
 public:
  // Reads the hosts files of the program in `executableDirectory` (hostsFileOrder), then
  // `hostsFile` when not empty.
  LiveSites(std::filesystem::path executableDirectory, std::filesystem::path hostsFile);
  LiveSites(const LiveSites&) = delete;
  LiveSites& operator=(const LiveSites&) = delete;

  // Reads the files again; runs that start from now on use what they hold. Any thread.
  void reload();

  // One worker per site; they hold the directory, so they may outlive this object.
  std::array<core::SiteWorker, core::kSiteCount> workers() const;
  // Whether the site has a host in the latest reading. Any thread.
  bool hasHost(int site) const { return directory_->hasHost(site); }
  // The files read, in order.
  std::vector<HostsFile> files() const;

 private:
  const std::filesystem::path executableDirectory_;
  const std::filesystem::path hostsFile_;
  const std::shared_ptr<SiteDirectory> directory_;
};

}  // namespace quenbo::app
