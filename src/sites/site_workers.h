// The workers the search job starts, one per catalogue row, each running its site's adapter
// against the configured hosts.
#pragma once

#include <array>

#include "core/search_job.h"
#include "core/site_run.h"
#include "sites/site_hosts.h"

namespace quenbo {

std::array<core::SiteWorker, core::kSiteCount> makeSiteWorkers(const SiteHosts& hosts);

}  // namespace quenbo
