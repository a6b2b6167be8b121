// One run of a keyword search over the ticked sites: starts a worker per site, watches them
// with the 100 ms monitor until every one has ended, and can be asked to stop. It also owns
// what the main window does when it is created and when it is destroyed.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "base/text.h"
#include "core/result_store.h"
#include "core/search_request.h"
#include "core/search_status.h"
#include "core/site_report.h"
#include "core/site_run.h"

namespace quenbo::window {
class WindowModel;
class UiLoop;
class Interactions;
}  // namespace quenbo::window

namespace quenbo::core {

// Steps of the start-up sequence that other parts of the program provide. An empty step is
// skipped; without an update check the main window shows itself.
struct StartupSteps {
  std::function<void()> openUpdateWindow;  // decides when the main window is shown
  std::function<void()> layoutFilmBoard;
  std::function<void()> startFilmLoader;
  std::function<void()> loadSettings;
  std::function<void()> markSettingsLoaded;
};

class SearchJob final {
 public:
  // How long closing the window waits for worker threads to return: the window is gone at
  // once, and the process should follow within a second whatever the sites do.
  static constexpr std::chrono::milliseconds kShutdownGrace{400};

  SearchJob(window::WindowModel& window, window::UiLoop& loop, window::Interactions& interactions,
            std::array<SiteWorker, kSiteCount> workers, std::filesystem::path installDirectory);
  // Waits for every worker thread to leave: they use this job, the store and the window.
  ~SearchJob();
  SearchJob(const SearchJob&) = delete;
  SearchJob& operator=(const SearchJob&) = delete;

  // Event handlers; all run on the UI thread. After `stop` the search ends at once (a
  // monitor tick posted to the loop), without waiting for workers that are still ending;
  // their hits are refused.
  void start();
  void stop();
  void monitorTick();
  void onWindowCreated(const StartupSteps& steps);
  void onWindowDestroyed();

  ResultStore& store() { return store_; }
  const ResultStore& store() const { return store_; }
  // What each ticked site of the current search is doing; reset at every start.
  SiteReports& reports() { return reports_; }
  const SiteReports& reports() const { return reports_; }

  // Tells which sites have a host (any thread may ask it). A ticked site without one is not
  // started: its report reads 未配置主机 and it writes no log line. Unset: every site has
  // one. UI thread, before a search starts.
  void setHostCheck(std::function<bool(int site)> hasHost) { hasHost_ = std::move(hasHost); }
  bool hasHost(int site) const { return !hasHost_ || hasHost_(site); }

  // Binds a handler of the finished event: the monitor has seen every site end. Handlers run
  // on the UI thread, in binding order.
  void onFinished(std::function<void()> handler) {
    finishedHandlers_.push_back(std::move(handler));
  }

  // The last search's request, as read when it started (UI thread).
  const SearchRequest& request() const { return request_; }
  const Text& keyword() const { return request_.keyword; }
  int pageLimit() const { return request_.pageLimit; }
  int timeoutSeconds() const { return request_.timeoutSeconds; }
  // From a search's start until its finished event (UI thread).
  bool running() const { return running_; }
  bool stopRequested() const { return stopRequested_; }
  bool searchDone() const { return status_.searchDone; }
  std::uint32_t startTick() const { return status_.startTick; }
  bool siteRunning(int site) const { return siteRunning_[site] != 0; }
  bool anySiteRunning() const;
  // Worker threads that have not returned yet, of this search or earlier ones.
  int liveWorkers() const { return liveWorkers_; }

 private:
  friend class SiteRun;

  // Any thread: every run's stopRequested() turns true, and the runs are woken.
  void requestStop();
  void launch(std::uint64_t generation);
  void startWorker(int site, std::uint64_t generation);
  void setRunningButtons(bool running);
  // Waits, processing events, until every worker thread has returned or `limit` has passed;
  // whether they all have.
  bool waitForWorkers(std::chrono::milliseconds limit);

  window::WindowModel& window_;
  window::UiLoop& loop_;
  window::Interactions& interactions_;
  const std::array<SiteWorker, kSiteCount> workers_;
  const std::filesystem::path installDirectory_;

  SearchStatus status_;
  ResultStore store_;
  SiteReports reports_;
  SearchRequest request_;  // UI thread; each run gets its own copy of what it needs
  bool running_ = false;   // UI thread
  std::vector<std::function<void()>> finishedHandlers_;  // UI thread
  std::function<bool(int)> hasHost_;                      // UI thread
  std::atomic<bool> stopRequested_{false};
  // Rung after each change that makes runs' stopRequested() true: a stop, the window
  // closing, a newer search. Workers asleep in a request wake at once.
  StopBell stopBell_;
  // The generation of the search whose workers may still hand over hits and write lines.
  std::atomic<std::uint64_t> currentGeneration_{0};
  // Per site: the generation of the run that holds the running flag, 0 when clear. Set by
  // the UI thread before the worker starts, cleared by that worker.
  std::array<std::atomic<std::uint64_t>, kSiteCount> siteRunning_{};
  std::atomic<int> liveWorkers_{0};
  std::mutex logMutex_;  // orders log lines of ending workers against the log's reset
  // UI thread: tasks posted to the loop hold a weak one and do nothing once the job is gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace quenbo::core
