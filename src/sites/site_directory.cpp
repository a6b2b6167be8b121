#include "sites/site_directory.h"

namespace quenbo::sites {

void SiteDirectory::replace(const SiteHosts& hosts) {
  std::array<std::shared_ptr<const std::vector<SitePlan>>, core::kSiteCount> plans;
  for (int site = 0; site < core::kSiteCount; ++site) {
    std::vector<SitePlan> mirrors = planMirrors(site, hosts);
    if (mirrors.empty()) mirrors.push_back(planSite(site, hosts));
    plans[static_cast<std::size_t>(site)] =
        std::make_shared<const std::vector<SitePlan>>(std::move(mirrors));
  }
  std::lock_guard lock(mutex_);
  plans_ = std::move(plans);
  hosts_ = hosts;
}

std::shared_ptr<const std::vector<SitePlan>> SiteDirectory::mirrors(int site) const {
  std::lock_guard lock(mutex_);
  return plans_[static_cast<std::size_t>(site)];
}

bool SiteDirectory::hasHost(int site) const {
  return !mirrors(site)->front().baseUrl.empty();
}

SiteHosts SiteDirectory::hosts() const {
  std::lock_guard lock(mutex_);
  return hosts_;
}

}  // namespace quenbo::sites
