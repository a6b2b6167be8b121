#include "window/headless/headless_loop.h"

#include <algorithm>

#include "core/run_loop.h"

namespace quenbo::window {

HeadlessLoop::HeadlessLoop() : uiThread_(std::this_thread::get_id()) {}

HeadlessLoop::~HeadlessLoop() {
  std::map<const WindowModel*, WindowModel*> models;
  {
    std::lock_guard lock(mutex_);
    models.swap(models_);
  }
  for (auto& [key, model] : models) model->removeObserver(this);
}

void HeadlessLoop::attach(WindowModel& model) {
  {
    std::lock_guard lock(mutex_);
    models_[&model] = &model;
  }
  model.addObserver(this);
  for (const auto& component : model.layout().components) {
    if (component.kind == ComponentKind::Timer) {
      modelChanged(model, {ChangeKind::TimerInterval, component.name});
    }
  }
}

void HeadlessLoop::detach(WindowModel& model) {
  model.removeObserver(this);
  std::lock_guard lock(mutex_);
  models_.erase(&model);
  std::erase_if(timers_, [&](const auto& timer) { return timer.first.first == &model; });
}

void HeadlessLoop::modelChanged(const WindowModel& model, const Change& change) {
  if (change.kind != ChangeKind::TimerInterval && change.kind != ChangeKind::Destroyed) return;
  std::lock_guard lock(mutex_);
  auto found = models_.find(&model);
  if (found == models_.end()) return;
  if (change.kind == ChangeKind::Destroyed) {
    std::erase_if(timers_, [&](const auto& timer) { return timer.first.first == found->second; });
    return;
  }
  TimerKey key{found->second, change.component};
  int interval = model.timerInterval(TimerId{change.component});
  if (interval <= 0) {
    timers_.erase(key);
  } else {
    timers_[key] = Clock::now() + std::chrono::milliseconds(interval);
  }
  wake_.notify_all();
}

void HeadlessLoop::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void HeadlessLoop::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    delayed_.emplace(Clock::now() + delay, std::move(task));
  }
  wake_.notify_all();
}

void HeadlessLoop::releaseDueTasks(Clock::time_point now) {
  auto end = delayed_.upper_bound(now);
  for (auto it = delayed_.begin(); it != end; ++it) tasks_.push_back(std::move(it->second));
  delayed_.erase(delayed_.begin(), end);
}

bool HeadlessLoop::onUiThread() const { return std::this_thread::get_id() == uiThread_; }

void HeadlessLoop::fireDueTimers() {
  std::vector<TimerKey> due;
  auto now = Clock::now();
  {
    std::lock_guard lock(mutex_);
    for (auto& [key, next] : timers_) {
      if (next > now) continue;
      due.push_back(key);
      int interval = key.first->timerInterval(TimerId{key.second});
      next = now + std::chrono::milliseconds(std::max(1, interval));
    }
  }
  for (const auto& [model, name] : due) {
    Event tick;
    tick.component = name;
    tick.kind = EventKind::TimerTick;
    model->fire(tick);
  }
}

HeadlessLoop::Clock::time_point HeadlessLoop::nextDueLocked() const {
  if (!tasks_.empty()) return Clock::time_point::min();
  auto next = delayed_.empty() ? Clock::time_point::max() : delayed_.begin()->first;
  for (const auto& timer : timers_) next = std::min(next, timer.second);
  return next;
}

void HeadlessLoop::processEvents() {
  assertOnUiThread();
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    releaseDueTasks(Clock::now());
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task();
  fireDueTimers();
}

void HeadlessLoop::sleepUntil(Clock::time_point until) {
  std::unique_lock lock(mutex_);
  // Decided under the lock that post, postAfter and a timer change take before notifying,
  // so none of them can slip in between this look and the wait.
  auto next = std::min(until, nextDueLocked());
  if (next > Clock::now()) wake_.wait_until(lock, next);
}

void HeadlessLoop::waitProcessing(std::chrono::milliseconds duration) {
  (void)runUntil([] { return false; }, duration, duration);
}

bool HeadlessLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                            std::chrono::milliseconds recheck) {
  return core::runTasksUntil([this] { processEvents(); },
                             [this](Clock::time_point until) { sleepUntil(until); }, done,
                             timeout, recheck);
}

}  // namespace quenbo::window
