#include "core/search.h"

#include <system_error>


namespace quenbo::core {

namespace {

std::atomic<std::uint64_t> lastGeneration{0};

}  // namespace

Search::Search(SearchRequest request, const SiteWorkers& workers, const HostCheck& hasHost,
               TaskLoop& loop, SearchEvents& events)
    : request_(std::move(request)),
      workers_(workers),
      hasHost_(hasHost),
      loop_(loop),
      events_(events),
      generation_(++lastGeneration),
      store_(events) {
  store_.setKeyword(request_.keyword);
  store_.setFilter(request_.filter);
  reports_.setListedCounter([this](const Text& label) { return store_.listedCount(label); });
  reports_.setObserver([this](const SiteReport& report) { events_.siteChanged(report); });
}

Search::~Search() {
  requestStop();
  std::lock_guard lock(threadsMutex_);
  for (std::thread& thread : threads_) thread.join();
}

void Search::requestStop() {
  stopRequested_ = true;
  stopBell_.ring();  // workers asleep in a request look at the flag at once
}

bool Search::anySiteRunning() const {
  for (const auto& flag : siteRunning_) {
    if (flag) return true;
  }
  return false;
}

void Search::postHere(std::function<void()> task) {
  loop_.post([alive = std::weak_ptr<int>(alive_), task = std::move(task)] {
    if (alive.lock()) task();
  });
}

void Search::postHereAfter(std::chrono::milliseconds delay, std::function<void()> task) {
  loop_.postAfter(delay, [alive = std::weak_ptr<int>(alive_), task = std::move(task)] {
    if (alive.lock()) task();
  });
}

void Search::start() {
  running_ = true;
  store_.startClock();
  reports_.reset(request_.sites, generation_);
  for (int site = 0; site < kSiteCount; ++site) {
    if (!request_.sites[static_cast<std::size_t>(site)]) continue;
    if (!hasHost_ || hasHost_(site)) {
      siteRunning_[static_cast<std::size_t>(site)] = true;
    } else {
      reports_.update(site, generation_, [](SiteReport& r) {
        r.state = SiteState::noHost;
        r.reason = noHostText();
      });
    }
  }
  launchFrom(0);
}

void Search::launchFrom(int site) {
  for (; site < kSiteCount; ++site) {
    if (!siteRunning_[static_cast<std::size_t>(site)]) continue;
    if (stopRequested_) {
      // Stopped while sites were still being started: the others never start.
      siteRunning_[static_cast<std::size_t>(site)] = false;
      reports_.update(site, generation_, [](SiteReport& r) { r.state = SiteState::stopped; });
      continue;
    }
    startWorker(site);
    postHereAfter(request_.pacing.launchPause, [this, site] { launchFrom(site + 1); });
    return;
  }
  // Every site has been started.
  if (request_.pacing.monitorEvery.count() > 0) watchAfter(request_.pacing.monitorEvery);
  if (!stopRequested_ && !anySiteRunning() && request_.pacing.finishWhenLastSiteEnds) look();
}

void Search::startWorker(int site) {
  ++liveWorkers_;
  try {
    std::lock_guard lock(threadsMutex_);
    threads_.emplace_back([this, run = SiteRun(*this, site)]() mutable {
      if (workers_[static_cast<std::size_t>(run.site())]) workers_[static_cast<std::size_t>(run.site())](run);
      run.clearRunning();  // in case the worker left without clearing it
      --liveWorkers_;
    });
  } catch (const std::system_error&) {
    // A worker that cannot be started counts as ended, so the search can still finish.
    --liveWorkers_;
    siteRunning_[static_cast<std::size_t>(site)] = false;
  }
}

void Search::watchAfter(std::chrono::milliseconds delay) {
  postHereAfter(delay, [this] {
    if (finished_) return;
    look();
    if (!finished_) watchAfter(request_.pacing.monitorEvery);
  });
}

void Search::look() {
  if (finished_) return;
  store_.reportProgress();
  // A stopped search ends here: its workers may still be waiting for an answer, but the
  // store takes none of their hits any more.
  if (anySiteRunning() && !stopRequested_) return;
  finish();
}

void Search::finish() {
  if (finished_) return;
  finished_ = true;
  running_ = false;
  store_.markDone();
  SearchSummary summary;
  summary.stopped = stopRequested_;
  summary.totals = store_.progress();
  summary.sites = reports_.snapshot();
  events_.finished(summary);
}

void Search::stop() {
  requestStop();
  store_.closeIntake();
  postHere([this] { look(); });
}

void Search::stopAndFinish() {
  requestStop();
  store_.closeIntake();
  if (running_) look();
}

// --- SiteRun ---

SiteRun::SiteRun(Search& search, int site) : search_(search), site_(site) {}

const Text& SiteRun::keyword() const { return search_.request_.keyword; }
int SiteRun::pageLimit() const { return search_.request_.pageLimit; }
int SiteRun::timeoutSeconds() const { return search_.request_.timeoutSeconds; }

bool SiteRun::stopRequested() const { return search_.stopRequested_; }

bool SiteRun::running() const { return search_.siteRunning_[static_cast<std::size_t>(site_)]; }

void SiteRun::clearRunning() {
  if (!search_.siteRunning_[static_cast<std::size_t>(site_)].exchange(false)) return;
  // The last site to end may end the search at once.
  if (search_.request_.pacing.finishWhenLastSiteEnds) {
    Search& search = search_;
    search.postHere([&search] {
      if (!search.anySiteRunning()) search.look();
    });
  }
}

bool SiteRun::handOver(const MagnetResult& hit) {
  return search_.store_.addHit(hit) || !search_.store_.full();
}

void SiteRun::log(const Text& line) { search_.events_.logLine(line); }

void SiteRun::report(const std::function<void(SiteReport&)>& change) {
  search_.reports_.update(site_, search_.generation_, change);
}

StopBell& SiteRun::stopBell() { return search_.stopBell_; }

}  // namespace quenbo::core
