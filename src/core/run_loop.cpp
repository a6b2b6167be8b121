#include "core/run_loop.h"

#include <algorithm>

namespace quenbo::core {

RunLoop::RunLoop() : thread_(std::this_thread::get_id()) {}

void RunLoop::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void RunLoop::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    delayed_.emplace(Clock::now() + delay, std::move(task));
  }
  wake_.notify_all();
}

bool RunLoop::onLoopThread() const { return std::this_thread::get_id() == thread_; }

void RunLoop::processEvents() {
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    auto end = delayed_.upper_bound(Clock::now());
    for (auto it = delayed_.begin(); it != end; ++it) tasks_.push_back(std::move(it->second));
    delayed_.erase(delayed_.begin(), end);
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task();
}

void RunLoop::sleepUntil(Clock::time_point until) {
  std::unique_lock lock(mutex_);
  // Decided under the lock that post and postAfter take before notifying, so neither can
  // slip in between this look and the wait.
  if (!tasks_.empty()) return;
  auto next = delayed_.empty() ? until : std::min(until, delayed_.begin()->first);
  if (next > Clock::now()) wake_.wait_until(lock, next);
}

void RunLoop::waitProcessing(std::chrono::milliseconds duration) {
  (void)runUntil([] { return false; }, duration, duration);
}

bool RunLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                       std::chrono::milliseconds recheck) {
  return runTasksUntil([this] { processEvents(); },
                       [this](Clock::time_point until) { sleepUntil(until); }, done, timeout,
                       recheck);
}

bool runTasksUntil(const std::function<void()>& processEvents,
                   const std::function<void(std::chrono::steady_clock::time_point)>& sleepUntil,
                   const std::function<bool()>& done, std::chrono::milliseconds timeout,
                   std::chrono::milliseconds recheck) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + timeout;
  for (;;) {
    processEvents();
    if (done()) return true;
    auto now = Clock::now();
    if (now >= deadline) return false;
    sleepUntil(std::min(deadline, now + std::max(recheck, std::chrono::milliseconds(1))));
  }
}

}  // namespace quenbo::core
