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
    case SiteState::noHost: return noHostText();
    case SiteState::unreachable:
    case SiteState::httpError:
    case SiteState::jsonFailed:
    case SiteState::layoutChanged: return "失败"_gbk;
  }
  return {};
}

const Text& noHostText() {
  static const Text kNoHost = "未配置主机"_gbk;
  return kNoHost;
}

void SiteReports::reset(const std::array<bool, core::kSiteCount>& ticked,
                        std::uint64_t generation) {
  std::lock_guard lock(mutex_);
  generation_ = generation;
  started_ = std::chrono::steady_clock::now();
  reports_.clear();
  for (int site = 0; site < core::kSiteCount; ++site) {
    if (!ticked[site]) continue;
    SiteReport report;
    report.site = site;
    reports_.push_back(std::move(report));
  }
  ++version_;
}

void SiteReports::update(int site, std::uint64_t generation,
                         const std::function<void(SiteReport&)>& change) {
  // Checked under the lock of the change: a reset in between would start the new search's
  // reports, where an old worker's change must not land.
  std::optional<SiteReport> changed;
  {
    std::lock_guard lock(mutex_);
    if (generation != generation_) return;
    changed = updateLocked(site, change);
  }
  if (changed && observer_) observer_(*changed);
}

void SiteReports::update(int site, const std::function<void(SiteReport&)>& change) {
  std::optional<SiteReport> changed;
  {
    std::lock_guard lock(mutex_);
    changed = updateLocked(site, change);
  }
  if (changed && observer_) observer_(*changed);
}

std::optional<SiteReport> SiteReports::updateLocked(
    int site, const std::function<void(SiteReport&)>& change) {
  auto report = std::find_if(reports_.begin(), reports_.end(),
                             [site](const SiteReport& r) { return r.site == site; });
  if (report == reports_.end()) return std::nullopt;
  change(*report);
  report->elapsedMs = static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                            started_)
          .count());
  ++version_;
  return *report;
}

std::vector<SiteReport> SiteReports::snapshot() const {
  std::vector<SiteReport> copy;
  {
    std::lock_guard lock(mutex_);
    copy = reports_;
  }
  if (listedCounter_) {
    for (SiteReport& report : copy) {
      report.hitsListed = report.hitLabel.empty() ? 0 : listedCounter_(report.hitLabel);
    }
  }
  return copy;
}

void SiteReports::setObserver(std::function<void(const SiteReport&)> observer) {
  observer_ = std::move(observer);
}

void SiteReports::setListedCounter(std::function<int(const Text& hitLabel)> counter) {
  listedCounter_ = std::move(counter);
}

std::uint64_t SiteReports::version() const {
  std::lock_guard lock(mutex_);
  return version_;
}

}  // namespace quenbo::core
