// A task loop without a display: the thread that constructs it runs its tasks whenever it
// calls processEvents, waitProcessing or runUntil. The command line runs its searches'
// events on one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "core/task_loop.h"

namespace quenbo::core {

// The waiting of a loop on its own thread: runs the due tasks with `processEvents` until
// `done` holds or `timeout` passes, and returns whether it holds. Between runs it sleeps with
// `sleepUntil` (which wakes early for a posted or due task), and asks `done` again at least
// every `recheck`, for a condition another thread changes without posting.
bool runTasksUntil(const std::function<void()>& processEvents,
                   const std::function<void(std::chrono::steady_clock::time_point)>& sleepUntil,
                   const std::function<bool()>& done, std::chrono::milliseconds timeout,
                   std::chrono::milliseconds recheck);

class RunLoop final : public TaskLoop {
 public:
  RunLoop();  // the constructing thread is the loop's
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  void post(std::function<void()> task) override;
  void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
  bool onLoopThread() const override;

  // Loop thread only: runs the tasks that are due now.
  void processEvents();
  // Loop thread only: runs tasks as they fall due for the given time.
  void waitProcessing(std::chrono::milliseconds duration);
  // Runs tasks until `done` holds or `timeout` passes; returns whether it holds. Between
  // tasks it sleeps until one is posted or falls due, and asks `done` after each; a
  // condition that another thread changes without posting is asked again at least every
  // `recheck`.
  bool runUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10),
                std::chrono::milliseconds recheck = std::chrono::milliseconds(10));

 private:
  using Clock = std::chrono::steady_clock;

  // Sleeps until a task is posted or falls due, or `until`.
  void sleepUntil(Clock::time_point until);

  const std::thread::id thread_;
  std::mutex mutex_;  // guards tasks_ and delayed_
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::multimap<Clock::time_point, std::function<void()>> delayed_;  // by due time
};

}  // namespace quenbo::core
