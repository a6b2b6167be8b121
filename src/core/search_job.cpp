#include "core/search_job.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "base/clock.h"
#include "base/encoding.h"
#include "base/files.h"
#include "core/completion_sound.h"
#include "window/interactions.h"
#include "forms/main_window_names.h"
#include "window/ui_loop.h"
#include "window/window_model.h"

namespace quenbo::core {

using namespace window::names;
using namespace std::chrono_literals;

SearchJob::SearchJob(window::WindowModel& window, window::UiLoop& loop,
                     window::Interactions& interactions,
                     std::array<SiteWorker, kSiteCount> workers,
                     std::filesystem::path installDirectory)
    : window_(window),
      loop_(loop),
      interactions_(interactions),
      workers_(std::move(workers)),
      installDirectory_(std::move(installDirectory)),
      store_(window, status_) {
  currentGeneration_ = store_.generation();
  reports_.setListedCounter([this](const Text& label) { return store_.listedCount(label); });
}

SearchJob::~SearchJob() {
  requestStop();
  while (liveWorkers_ > 0) std::this_thread::sleep_for(5ms);
}

void SearchJob::requestStop() {
  stopRequested_ = true;
  stopBell_.ring();  // workers asleep in a request look at the flag at once
}

bool SearchJob::anySiteRunning() const {
  for (const auto& flag : siteRunning_) {
    if (flag != 0) return true;
  }
  return false;
}

void SearchJob::setRunningButtons(bool running) {
  window_.setEnabled(超级按钮_搜索, !running);
  window_.setEnabled(超级按钮_停止, running);
}

void SearchJob::start() {
  loop_.assertOnUiThread();
  if (window_.text(编辑框_搜索).empty()) {
    interactions_.beep();
    interactions_.messageBox("搜索内容不能为空"_gbk, window::defaultMessageTitle(),
                             window::MessageButtons::Ok, window::MessageIcon::None);
    window_.setFocus(编辑框_搜索);
    return;
  }
  // From here on hits and log lines of earlier searches are refused.
  std::uint64_t generation = store_.beginSearch();
  currentGeneration_ = generation;
  stopBell_.ring();  // the runs of an earlier search still asleep in a request
  window_.setCurrentTab(高级选择夹1, kResultTab);

  request_ = readSearchRequest(window_);
  status_.keyword = request_.keyword;
  store_.refreshFilter();
  running_ = true;

  stopRequested_ = false;
  status_.searchDone = false;
  {
    std::lock_guard lock(logMutex_);
    window_.setText(编辑框_日志, {});
  }
  status_.startTick = tickCount();
  for (auto& flag : siteRunning_) flag = 0;
  setRunningButtons(true);
  store_.clear();
  reports_.reset(request_.sites, generation);

  for (int site = 0; site < kSiteCount; ++site) {
    if (!request_.sites[static_cast<std::size_t>(site)]) continue;
    if (hasHost(site)) {
      siteRunning_[site] = generation;
    } else {
      reports_.update(site, [](SiteReport& r) { r.state = SiteState::noHost; r.reason = "未配置主机"_gbk; });
    }
  }
  launch(generation);
  window_.setTimerInterval(时钟_线程, 100);
}

void SearchJob::launch(std::uint64_t generation) {
  for (int site = 0; site < kSiteCount; ++site) {
    if (siteRunning_[site] != generation) continue;
    // Events run during the waits below: a box unticked meanwhile, or a window closed,
    // must not leave a flag set that no worker will ever clear.
    if (window_.destroyed() || !window_.checked(siteCheckBox(window::kSites[site].label))) {
      std::uint64_t held = generation;
      siteRunning_[site].compare_exchange_strong(held, 0);
      reports_.update(site, generation, [](SiteReport& r) { r.state = SiteState::stopped; });
      continue;
    }
    startWorker(site, generation);
    loop_.waitProcessing(10ms);
  }
}

void SearchJob::startWorker(int site, std::uint64_t generation) {
  ++liveWorkers_;
  try {
    std::thread([this, run = SiteRun(*this, site, generation, request_.keyword, request_.pageLimit,
                                     request_.timeoutSeconds)]() mutable {
      if (workers_[run.site()]) workers_[run.site()](run);
      run.clearRunning();  // in case the worker left without clearing it
      --liveWorkers_;
    }).detach();
  } catch (const std::system_error&) {
    // A worker that cannot be started counts as ended, so the search can still finish.
    --liveWorkers_;
    std::uint64_t held = generation;
    siteRunning_[site].compare_exchange_strong(held, 0);
  }
}

void SearchJob::monitorTick() {
  loop_.assertOnUiThread();
  store_.showStatistics(false);
  // A stopped search ends at this tick: its workers may still be waiting for an answer, but
  // the store takes none of their hits any more.
  if (anySiteRunning() && !stopRequested_) return;
  setRunningButtons(false);
  window_.setTimerInterval(时钟_线程, 0);
  status_.searchDone = true;
  store_.showStatistics(true);
  running_ = false;
  // Last, so that the status bar never waits for it: the first use of the audio device can
  // take a while. Synthesising the clip costs time too; a front-end that cannot play it is
  // not handed one.
  if (interactions_.playsSound()) interactions_.playSound(completionSound());
  for (const auto& handler : finishedHandlers_) handler();
}

void SearchJob::stop() {
  loop_.assertOnUiThread();
  window_.setStatusPart(状态条1, 0, "任务状态：停止中"_gbk);
  requestStop();
  store_.closeIntake();
  setRunningButtons(false);
  // The search ends at the monitor's next tick; a tick right after this event brings the
  // status bar to its end at once instead of up to a tick later.
  loop_.post([this, alive = std::weak_ptr<int>(alive_)] {
    if (alive.lock() && running_ && stopRequested_) monitorTick();
  });
}

void SearchJob::onWindowCreated(const StartupSteps& steps) {
  loop_.assertOnUiThread();
  // The leftover of a self-update.
  std::filesystem::path leftover = installDirectory_ / std::filesystem::path(u8"临时主程序");
  // A leftover that cannot be deleted is tried again at the next start.
  if (fileExists(leftover)) (void)deleteFile(leftover);

  if (steps.openUpdateWindow) {
    steps.openUpdateWindow();
  } else {
    window_.setWindowVisible(true);  // no update check yet: nothing else would show the window
  }
  if (steps.layoutFilmBoard) steps.layoutFilmBoard();
  if (steps.startFilmLoader) steps.startFilmLoader();
  if (steps.loadSettings) steps.loadSettings();
  if (steps.markSettingsLoaded) steps.markSettingsLoaded();
  window_.setFocus(编辑框_搜索);
}

void SearchJob::onWindowDestroyed() {
  loop_.assertOnUiThread();
  window_.setStatusPart(状态条1, 0, "任务状态：销毁中"_gbk);
  requestStop();
  store_.closeIntake();
  // A running search completes at once, as after 停止.
  if (running_) monitorTick();
  while (window_.timerInterval(时钟_线程) != 0) loop_.waitProcessing(10ms);
  waitForWorkers(kShutdownGrace);
}

// Workers leave soon after the stop request unless a request of theirs is slow to give up.
// The window model and this job outlive them whatever happens here: the job's destructor
// waits for every one, and a front-end may end the process before that instead.
bool SearchJob::waitForWorkers(std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (liveWorkers_ > 0 && std::chrono::steady_clock::now() < until) loop_.waitProcessing(10ms);
  return liveWorkers_ == 0;
}

// --- SiteRun ---

SiteRun::SiteRun(SearchJob& job, int site, std::uint64_t generation, Text keyword, int pageLimit,
                 int timeoutSeconds)
    : job_(job),
      site_(site),
      generation_(generation),
      keyword_(std::move(keyword)),
      pageLimit_(pageLimit),
      timeoutSeconds_(timeoutSeconds) {}

bool SiteRun::stopRequested() const {
  return job_.stopRequested_ || job_.currentGeneration_ != generation_;
}

bool SiteRun::running() const { return job_.siteRunning_[site_] == generation_; }

void SiteRun::clearRunning() {
  std::uint64_t held = generation_;
  // Wakes a UI thread that sleeps until the last site has ended (the command line's).
  if (job_.siteRunning_[site_].compare_exchange_strong(held, 0)) job_.loop_.post([] {});
}

bool SiteRun::handOver(const MagnetResult& hit) {
  return job_.store_.addHit(hit, generation_) || !job_.store_.full();
}

void SiteRun::log(const Text& line) {
  std::lock_guard lock(job_.logMutex_);
  if (job_.currentGeneration_ == generation_) job_.window_.appendText(编辑框_日志, line);
}

void SiteRun::report(const std::function<void(SiteReport&)>& change) {
  job_.reports_.update(site_, generation_, change);
}

StopBell& SiteRun::stopBell() { return job_.stopBell_; }

}  // namespace quenbo::core
