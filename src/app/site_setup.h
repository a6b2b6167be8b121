// The search sites of the running program: the hosts files next to the executable and the
// one named on the command line, made into the workers the search job starts.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "core/search_job.h"

namespace quenbo::app {

struct SiteSetup {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  std::vector<std::string> problems;  // hosts refused or files not read, UTF-8 lines
  Text boardHost;                     // the film board's host; empty: no board
  Text updateService;                 // scheme and host of the update service; empty: none
};

// Reads sites.hosts and sites.hosts.local of `installDirectory`, then `hostsFile` when it
// is not empty (GBK paths).
SiteSetup setUpSites(const Text& installDirectory, const Text& hostsFile = {});

// The file named by "--hosts FILE" or "--hosts=FILE" (the last one given), as a GBK path;
// empty when there is none.
Text hostsFileOption(std::span<const char* const> arguments);

}  // namespace quenbo::app
