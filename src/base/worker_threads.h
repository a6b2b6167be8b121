// Threads an object starts for work of its own. The object owns them and no thread outlives
// it: a thread whose work has returned is joined as the next one starts, so only live
// threads are kept, and stopAndJoin() asks the remaining work to end and joins it. Work that
// may wait long (a request) listens for the stop: it asks stopping(), and bell() wakes it.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/stop_bell.h"

namespace quenbo {

class WorkerThreads final {
 public:
  WorkerThreads() = default;
  // Stops and joins what the owner has not.
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Owner's thread: runs `work` on a thread of its own; does nothing once stopping.
  void start(std::function<void()> work);
  // Owner's thread: stopping() turns true, the bell rings, and every thread is joined. The
  // owner calls it first in its destructor, while the members the work uses still live.
  void stopAndJoin();

  // Any thread.
  bool stopping() const { return stopping_; }
  const std::atomic<bool>& stopFlag() const { return stopping_; }
  StopBell& bell() { return bell_; }
  // Threads whose work has not returned yet.
  int running() const { return running_; }

  // Owner's thread: threads not joined yet.
  std::size_t kept() const { return threads_.size(); }

 private:
  struct Thread {
    std::atomic<bool> done{false};  // set by the thread as its work has returned
    std::thread thread;
  };
  void joinFinished();

  std::atomic<bool> stopping_{false};
  StopBell bell_;
  std::atomic<int> running_{0};
  std::vector<std::unique_ptr<Thread>> threads_;  // owner's thread only
};

}  // namespace quenbo
