// The hosts the site workers use, replaceable while the program runs (the hosts editor saves
// a new file): each run takes the plans current when it starts.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "core/site_table.h"
#include "sites/site_hosts.h"
#include "sites/site_plan.h"

namespace quenbo::sites {

class SiteDirectory final {
 public:
  explicit SiteDirectory(const SiteHosts& hosts) { replace(hosts); }
  SiteDirectory(const SiteDirectory&) = delete;
  SiteDirectory& operator=(const SiteDirectory&) = delete;

  // Any thread. Runs already going keep the plans they took.
  void replace(const SiteHosts& hosts);
  // One plan per host of the site (at least one: a site without host has one without base
  // URL). Any thread.
  std::shared_ptr<const std::vector<SitePlan>> mirrors(int site) const;
  bool hasHost(int site) const;
  SiteHosts hosts() const;

 private:
  mutable std::mutex mutex_;  // guards the members below
  std::array<std::shared_ptr<const std::vector<SitePlan>>, core::kSiteCount> plans_;
  SiteHosts hosts_;
};

}  // namespace quenbo::sites
