// Rung when a stop is asked for, so that threads asleep in a wait learn of it at once
// instead of at their next timed look at the stop flag. The flag stays the truth: a ring
// only wakes, and a woken thread asks the flag again.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace quenbo {

class StopBell final {
 public:
  // Hears the rings from its creation until it is destroyed. Destroying it waits for a ring
  // that is calling its waker, so the waker may use what the listener's owner owns.
  class Listener final {
   public:
    Listener() = default;
    Listener(StopBell& bell, std::function<void()> wake);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

   private:
    StopBell* bell_ = nullptr;
    std::uint64_t id_ = 0;
  };

  StopBell() = default;
  StopBell(const StopBell&) = delete;
  StopBell& operator=(const StopBell&) = delete;

  // Any thread. Calls every listener's waker, under the bell's lock: a waker must be quick
  // and must not touch the bell.
  void ring();

 private:
  std::mutex mutex_;
  std::uint64_t nextId_ = 1;
  std::map<std::uint64_t, std::function<void()>> wakers_;
};

}  // namespace quenbo
