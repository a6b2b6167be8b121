// What each ticked site of the current search is doing and why it stopped: one report per
// site, written by its worker as it goes and read by the status tab, `check-sites` and
// `search --summary`. The log lines stay as they are; this is kept beside them.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "base/text.h"
#include "core/site_table.h"

namespace quenbo::core {

// What a site is doing, or how it ended. The status tab, the site check, `check-sites` and
// `search --summary` all speak of a site in these; the failures carry their reason beside.
enum class SiteState {
  waiting,    // 等待: ticked, its worker has not fetched a page yet
  onPage,     // 第 n 页: fetching page `page`
  done,       // 完成: every page read, or the site ran out of pages after page 1
  noResults,  // 无结果: page 1 came whole and held nothing that looks like a hit
  stopped,    // 已停止: stop, a closing window or a newer search
  noHost,     // 未配置主机: not started at all
  // 失败, each with its reason:
  unreachable,    // no answer, or one cut off (the request engine's 7xx text)
  httpError,      // an answer with a status other than 2xx
  jsonFailed,     // a JSON site's answer was not JSON
  layoutChanged,  // page 1 came whole but gave no hit, and still holds hashes or magnet links
};

// Whether the state is one of the failures (失败).
constexpr bool isFailure(SiteState state) { return state >= SiteState::unreachable; }

// The state as the status tab shows it (GBK): "等待", "第 3 页", "完成", "失败", ...
Text siteStateText(SiteState state, int page);

// "未配置主机" (GBK): the state of a site without a host, and its reason and mark.
const Text& noHostText();

struct SiteReport {
  int site = -1;  // site index
  SiteState state = SiteState::waiting;
  int page = 0;          // the page being fetched while onPage
  int pagesFetched = 0;  // pages that arrived, whole or not
  int hitsFound = 0;     // hits cut from the pages
  // Of those, listed after the filter and the duplicates: not written by workers but
  // counted by the result store when a snapshot is taken, so it stays right across rebuilds.
  int hitsListed = 0;
  std::uint32_t elapsedMs = 0;  // since the search started, up to the site's end
  Text mirror;  // the host the site's pages came from (GBK)
  Text reason;  // why the last request or page failed (GBK); empty when none did
  Text hitLabel;  // the site label its hits carry (GBK), set by the worker at its start
};

// One report per ticked site of the current search. Workers write, the UI thread reads;
// every call takes the lock, so a snapshot is always whole.
class SiteReports final {
 public:
  // At search start (UI thread): one report per ticked site, in site order, waiting, and the
  // clock of elapsedMs started. `generation` is the search's: updates of another are dropped.
  void reset(const std::array<bool, core::kSiteCount>& ticked, std::uint64_t generation = 0);
  // Changes one site's report (any thread) and stamps its elapsed time; a site without a
  // report is ignored.
  void update(int site, const std::function<void(SiteReport&)>& change);
  // As update, unless the reports belong to a search other than `generation`'s.
  void update(int site, std::uint64_t generation, const std::function<void(SiteReport&)>& change);
  // Every report, hitsListed filled in by the listed counter when one is set.
  std::vector<SiteReport> snapshot() const;
  // How many listed rows carry a hit label: set once, before any search (the search
  // hands in its result store's count). Called without this object's lock held.
  void setListedCounter(std::function<int(const Text& hitLabel)> counter);
  // Told every changed report, after the change, on the changing thread: set once, before
  // any search. Called without this object's lock held.
  void setObserver(std::function<void(const SiteReport&)> observer);
  // Grows with every change, so a reader can skip redrawing an unchanged table.
  std::uint64_t version() const;

 private:
  // The changed report, or none when the site has none.
  std::optional<SiteReport> updateLocked(int site, const std::function<void(SiteReport&)>& change);

  mutable std::mutex mutex_;
  std::vector<SiteReport> reports_;  // guarded by mutex_
  std::uint64_t version_ = 0;        // guarded by mutex_
  std::uint64_t generation_ = 0;     // guarded by mutex_
  std::chrono::steady_clock::time_point started_{};  // guarded by mutex_
  std::function<int(const Text&)> listedCounter_;     // set before any worker starts
  std::function<void(const SiteReport&)> observer_;   // set before any worker starts
};

}  // namespace quenbo::core
