// The workers a search starts, one per catalogue row, each running its site's adapter
// against the configured hosts.
#pragma once

#include <array>
#include <memory>

#include "core/site_run.h"
#include "core/site_table.h"
#include "sites/site_directory.h"
#include "sites/site_hosts.h"

namespace quenbo::sites {

// Each run takes the site's plans from `directory` as it starts.
std::array<core::SiteWorker, core::kSiteCount> makeSiteWorkers(
    std::shared_ptr<const SiteDirectory> directory);
std::array<core::SiteWorker, core::kSiteCount> makeSiteWorkers(const SiteHosts& hosts);

}  // namespace quenbo::sites
