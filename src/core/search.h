// One keyword search over the ticked sites: starts a worker per site, a pause apart, watches
// them until every one has ended, and can be asked to stop. Any number run at once, each with
// its own store, reports and stop; what happens is told to the SearchEvents it was given.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/stop_bell.h"
#include "core/result_store.h"
#include "core/search_events.h"
#include "core/search_request.h"
#include "core/site_report.h"
#include "core/site_run.h"
#include "core/task_loop.h"

namespace quenbo::core {

using SiteWorkers = std::array<SiteWorker, kSiteCount>;
// Whether the site at a catalogue index has a host to ask.
using HostCheck = std::function<bool(int site)>;

class Search final {
 public:
  // The loop and the events must outlive the search. A ticked site without a host (by
  // `hasHost`; unset: every site has one) is not started: its report reads 未配置主机.
  Search(SearchRequest request, const SiteWorkers& workers, const HostCheck& hasHost,
         TaskLoop& loop, SearchEvents& events);
  // Stops the search and joins every worker: each of them wakes at the stop and leaves.
  ~Search();
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  // Loop thread: launches the sites' workers, the request's pause apart, then watches them.
  void start();
  // Any thread: the search ends at once (its finished event comes from the loop), without
  // waiting for workers that are still ending; their hits are refused.
  void stop();
  // Loop thread: stops and, when it has not finished yet, finishes now.
  void stopAndFinish();
  // Loop thread: one look of the monitor, for a front-end whose own clock drives it
  // (pacing.monitorEvery zero): progress is reported, and the search finishes once no site
  // runs any more or a stop was asked for.
  void monitorTick() { look(); }

  // Loop thread or any: the filter acts on the next hit, or on every stored hit again.
  void setFilter(FilterSettings settings) { store_.setFilter(std::move(settings)); }
  void rebuild(FilterSettings settings) { store_.rebuild(std::move(settings)); }
  void sort(SortKey key) { store_.sort(key); }

  const SearchRequest& request() const { return request_; }
  ResultStore& store() { return store_; }
  const ResultStore& store() const { return store_; }
  const SiteReports& reports() const { return reports_; }

  // From start until the finished event (loop thread).
  bool running() const { return running_; }
  bool finished() const { return finished_; }
  bool stopRequested() const { return stopRequested_; }
  bool anySiteRunning() const;
  bool siteRunning(int site) const { return siteRunning_[static_cast<std::size_t>(site)]; }
  // Worker threads that have not returned yet.
  int liveWorkers() const { return liveWorkers_; }
  std::uint64_t generation() const { return generation_; }

 private:
  friend class SiteRun;

  // Any thread: every run's stopRequested() turns true, and the runs are woken.
  void requestStop();
  // Starts the next site from `site` on and has the loop come back after the pause.
  void launchFrom(int site);
  void startWorker(int site);
  // Reports progress, and finishes once no site runs any more or a stop was asked for.
  void look();
  void watchAfter(std::chrono::milliseconds delay);
  void finish();
  // Posts `task` to the loop; it does nothing once the search is gone.
  void postHere(std::function<void()> task);
  void postHereAfter(std::chrono::milliseconds delay, std::function<void()> task);

  const SearchRequest request_;
  const SiteWorkers& workers_;
  const HostCheck hasHost_;
  TaskLoop& loop_;
  SearchEvents& events_;
  const std::uint64_t generation_;

  ResultStore store_;
  SiteReports reports_;
  bool running_ = false;   // loop thread
  bool finished_ = false;  // loop thread
  std::atomic<bool> stopRequested_{false};
  // Rung at the stop: workers asleep in a request wake at once.
  StopBell stopBell_;
  // Per site: set by the loop thread before the worker starts, cleared by that worker.
  std::array<std::atomic<bool>, kSiteCount> siteRunning_{};
  std::atomic<int> liveWorkers_{0};
  std::mutex threadsMutex_;  // guards threads_ (the loop thread starts, the destructor joins)
  std::vector<std::thread> threads_;
  // Loop tasks hold a weak one and do nothing once the search is gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// The sites every search of the program can use: their workers and their hosts.
class SearchEngine final {
 public:
  explicit SearchEngine(SiteWorkers workers, HostCheck hasHost = {})
      : workers_(std::move(workers)), hasHost_(std::move(hasHost)) {}

  // Replaces the host check, for the searches started from now on.
  void setHostCheck(HostCheck hasHost) { hasHost_ = std::move(hasHost); }
  bool hasHost(int site) const { return !hasHost_ || hasHost_(site); }

  // A new search, not yet started: call start() on the loop's thread.
  std::unique_ptr<Search> newSearch(SearchRequest request, TaskLoop& loop,
                                    SearchEvents& events) const {
    return std::make_unique<Search>(std::move(request), workers_, hasHost_, loop, events);
  }

 private:
  const SiteWorkers workers_;
  HostCheck hasHost_;
};

}  // namespace quenbo::core
