#include "core/site_report.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/encoding.h"

namespace quenbo::core {

Text siteStateText(SiteState state, int page) {
  switch (state) {
    case SiteState::waiting: return "等待"_gbk;
    case SiteState::onPage: return "第 "_gbk + std::to_string(page) + " 页"_gbk;
    case SiteState::done: return "完成"_gbk;
    case SiteState::noResults: return "无结果"_gbk;
    case SiteState::stopped: return "已停止"_gbk;
    case SiteState::failed: return "失败"_gbk;
    case SiteState::noHost: return "未配置主机"_gbk;
  }
  return {};
}

void SiteReports::reset(const std::array<bool, window::kSiteCount>& ticked) {
  std::lock_guard lock(mutex_);
  reports_.clear();
  for (int site = 0; site < window::kSiteCount; ++site) {
    if (!ticked[site]) continue;
    SiteReport report;
    report.site = site;
    reports_.push_back(std::move(report));
  }
  ++version_;
}

void SiteReports::update(int site, const std::function<void(SiteReport&)>& change) {
  std::lock_guard lock(mutex_);
  auto report = std::find_if(reports_.begin(), reports_.end(),
                             [site](const SiteReport& r) { return r.site == site; });
  if (report == reports_.end()) return;
  change(*report);
  ++version_;
}

std::vector<SiteReport> SiteReports::snapshot() const {
  std::lock_guard lock(mutex_);
  return reports_;
}

std::uint64_t SiteReports::version() const {
  std::lock_guard lock(mutex_);
  return version_;
}

}  // namespace quenbo::core
