// The thread a search's own events run on: its launch, its monitor and its finished event.
// The window's UI loop is one; the command line and the server drive a RunLoop.
#pragma once

#include <chrono>
#include <functional>

namespace quenbo::core {

class TaskLoop {
 public:
  virtual ~TaskLoop() = default;

  // Queues a task to run on the loop's thread; callable from any thread.
  virtual void post(std::function<void()> task) = 0;
  // Runs `task` on the loop's thread once `delay` has passed; callable from any thread.
  virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
  // Whether the calling thread is the loop's.
  virtual bool onLoopThread() const = 0;
};

}  // namespace quenbo::core
