// Hands on what the log box gains, for a command line that has no log box to show.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "window/window_model.h"

namespace quenbo::app {

class LogFollower final : public window::ModelObserver {
 public:
  // Receives the new GBK text of the log box; after the box was replaced as a whole, the
  // whole new text.
  using Sink = std::function<void(std::string_view added)>;

  LogFollower(window::WindowModel& window, Sink sink);
  ~LogFollower() override;
  LogFollower(const LogFollower&) = delete;
  LogFollower& operator=(const LogFollower&) = delete;

  // Workers append from their threads, so the observer only notes the change; `flush`
  // hands the text over on the caller's thread.
  void flush();

 private:
  void modelChanged(const window::WindowModel&, const window::Change& change) override;

  window::WindowModel& window_;
  Sink sink_;
  std::atomic<bool> changed_{false};  // set on any thread, taken by flush
  std::uint64_t replacements_ = 0;     // flush's thread only
  std::size_t written_ = 0;            // flush's thread only
};

}  // namespace quenbo::app
