// The main window's searches: turns 搜索, 停止, the filter controls and the list's sort and
// rebuild into calls on the engine, and each search's events into rows, status text and log
// lines through its SearchView. The window shows one search at a time; a newer one replaces
// it, and the replaced one ends on its own.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "core/search.h"
#include "ui/result_source.h"
#include "ui/search_view.h"
#include "window/interactions.h"
#include "window/ui_loop.h"
#include "window/window_model.h"

namespace quenbo::ui {

class SearchPresenter final : public ResultSource {
 public:
  // How long closing the window waits for worker threads to return: the window is gone at
  // once, and the process should follow within a second whatever the sites do.
  static constexpr std::chrono::milliseconds kShutdownGrace{400};

  SearchPresenter(window::WindowModel& window, window::UiLoop& loop,
                  window::Interactions& interactions, core::SearchEngine& engine);
  // Stops every search and joins its workers, which the stop wakes.
  ~SearchPresenter() override;
  SearchPresenter(const SearchPresenter&) = delete;
  SearchPresenter& operator=(const SearchPresenter&) = delete;

  // Event handlers; all run on the UI thread.
  void start();
  void stop();
  // The window is being destroyed: a running search ends at once, and its workers get a
  // short grace to return.
  void windowDestroyed();
  // The 100 ms monitor (时钟_线程): progress, and the end once every site has ended.
  void monitorTick();
  // A filter control changed: the next hit is judged by the new settings.
  void refreshFilter();
  // Lists the stored hits again, in arrival order, under the filter the controls hold now.
  void rebuild() override;
  void sort(core::SortKey key) override;

  // Binds a handler of the finished event (UI thread, in binding order).
  void onFinished(std::function<void()> handler) { finishedHandlers_.push_back(std::move(handler)); }

  // The search the window shows; none before the first (UI thread).
  core::Search* search() { return current_ ? current_->search.get() : nullptr; }
  const core::Search* search() const { return current_ ? current_->search.get() : nullptr; }
  // Its listed rows, in list order; none before the first search.
  std::vector<core::ResultRow> rows() const override;
  const core::SiteReports* reports() const { return search() ? &search()->reports() : nullptr; }
  bool running() const { return search() && search()->running(); }
  // Whether a search has run and finished (false while one runs and before the first).
  bool searchDone() const { return search() && search()->finished(); }
  bool anySiteRunning() const { return search() && search()->anySiteRunning(); }
  // Worker threads that have not returned yet, of this search or replaced ones.
  int liveWorkers() const;

 private:
  struct Shown {
    std::unique_ptr<SearchView> view;
    std::unique_ptr<core::Search> search;  // destroyed first: its workers use the view
  };

  void finished();
  void setRunningButtons(bool running);
  // Forgets replaced searches whose workers have all returned.
  void dropEndedSearches();

  window::WindowModel& window_;
  window::UiLoop& loop_;
  window::Interactions& interactions_;
  core::SearchEngine& engine_;
  // UI thread, all of them.
  std::unique_ptr<Shown> current_;
  std::vector<std::unique_ptr<Shown>> replaced_;  // stopped, their workers still ending
  std::vector<std::function<void()>> finishedHandlers_;
};

}  // namespace quenbo::ui
