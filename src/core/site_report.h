// What each ticked site of the current search is doing and why it stopped: one report per
// site, written by its worker as it goes and read by the status tab, `check-sites` and
// `search --summary`. The log lines stay as they are; this is kept beside them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "base/text.h"
#include "forms/site_table.h"

namespace quenbo::core {

enum class SiteState {
  waiting,    // 等待: ticked, its worker has not fetched a page yet
  onPage,     // 第 n 页: fetching page `page`
  done,       // 完成: every page read, or the site ran out of pages after page 1
  noResults,  // 无结果: page 1 came whole and held nothing that looks like a hit
  stopped,    // 已停止: stop, a closing window or a newer search
  failed,     // 失败: `reason` says why
  noHost,     // 未配置主机: not started at all
};

// The state as the status tab shows it (GBK): "等待", "第 3 页", "完成", ...
Text siteStateText(SiteState state, int page);

struct SiteReport {
  int site = -1;  // site index
  SiteState state = SiteState::waiting;
  int page = 0;          // the page being fetched while onPage
  int pagesFetched = 0;  // pages that arrived, whole or not
  int hitsFound = 0;     // hits cut from the pages
  int hitsListed = 0;    // of those, listed after the filter and the duplicates
  std::uint32_t elapsedMs = 0;  // since the search started, up to the site's end
  Text mirror;  // the host the site's pages came from (GBK)
  Text reason;  // why the last request or page failed (GBK); empty when none did
};

// One report per ticked site of the current search. Workers write, the UI thread reads;
// every call takes the lock, so a snapshot is always whole.
class SiteReports final {
 public:
  // At search start (UI thread): one report per ticked site, in site order, waiting.
  void reset(const std::array<bool, window::kSiteCount>& ticked);
  // Changes one site's report (any thread); a site without a report is ignored.
  void update(int site, const std::function<void(SiteReport&)>& change);
  std::vector<SiteReport> snapshot() const;
  // Grows with every change, so a reader can skip redrawing an unchanged table.
  std::uint64_t version() const;

 private:
  mutable std::mutex mutex_;
  std::vector<SiteReport> reports_;  // guarded by mutex_
  std::uint64_t version_ = 0;        // guarded by mutex_
};

}  // namespace quenbo::core
