// A search as the main window shows it: its listed rows in 超级列表框_磁力链接, its counters
// in the status bar and its log in 编辑框_日志. One view per search; the presenter detaches
// the view of a search that a newer one replaces, so nothing of the old one reaches the window.
#pragma once

#include <functional>
#include <mutex>

#include "core/search_events.h"
#include "window/window_model.h"

namespace quenbo::ui {

// The status bar's parts 0 to 4 for these counters; part 4 (the elapsed time) is left as it
// stands once the search is done.
std::vector<Text> statusTexts(const core::SearchProgress& progress);

class SearchView final : public core::SearchEvents {
 public:
  // `finished` runs on the UI thread when the search ends, unless the view was detached.
  SearchView(window::WindowModel& window, std::function<void(const core::SearchSummary&)> finished);

  // Nothing of the search reaches the window any more; returns once a change that was being
  // drawn is done. Any thread.
  void detach();

  void hitListed(const core::ResultRow& row, int index) override;
  void listRebuilt(const std::vector<core::ResultRow>& rows) override;
  void listSorted(const std::vector<core::ResultRow>& rows, const std::vector<int>& order) override;
  void progress(const core::SearchProgress& progress) override;
  void logLine(const Text& line) override;
  void finished(const core::SearchSummary& summary) override;

 private:
  window::WindowModel& window_;
  const std::function<void(const core::SearchSummary&)> finished_;
  std::mutex mutex_;       // held while drawing, so detach waits for a change in progress
  bool attached_ = true;   // guarded by mutex_
};

}  // namespace quenbo::ui
