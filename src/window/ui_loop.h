// The user-interface thread as the system sees it: every event handler, the monitor timer,
// start-up and shutdown run there. The Qt and the headless front-ends implement it.
#pragma once

#include <chrono>
#include <functional>

#include "core/task_loop.h"

namespace quenbo::window {

// Its tasks (post, postAfter) run on the UI thread: a search started from the window reports
// its launch, monitor and end there.
class UiLoop : public core::TaskLoop {
 public:
  virtual bool onUiThread() const = 0;
  bool onLoopThread() const final { return onUiThread(); }
  // Debug builds: stops unless called on the UI thread.
  void assertOnUiThread() const;
  // UI thread only: runs the events and tasks that are pending now.
  virtual void processEvents() = 0;
  // UI thread only: waits for the given time while still processing events, so timers
  // tick and clicks are handled during the wait.
  virtual void waitProcessing(std::chrono::milliseconds duration) = 0;

  // Runs `task` on the UI thread and returns when it has run: at once when called there,
  // otherwise by posting it and waiting. Never call it while holding a lock that the UI
  // thread may take.
  void runOnUiThread(const std::function<void()>& task);
};

}  // namespace quenbo::window
