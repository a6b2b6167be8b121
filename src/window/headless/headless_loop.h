// The UI loop without a display: tests and the command-line search drive it from their
// own thread, which becomes the UI thread. It runs posted tasks and the timers of the
// window models attached to it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "window/ui_loop.h"
#include "window/window_model.h"

namespace quenbo::window {

class HeadlessLoop final : public UiLoop, private ModelObserver {
 public:
  HeadlessLoop();  // the constructing thread is the UI thread
  ~HeadlessLoop() override;
  HeadlessLoop(const HeadlessLoop&) = delete;
  HeadlessLoop& operator=(const HeadlessLoop&) = delete;

  // Runs the timers of this window's model from now on.
  void attach(WindowModel& model);
  void detach(WindowModel& model);

  void post(std::function<void()> task) override;
  void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
  bool onUiThread() const override;
  void processEvents() override;
  void waitProcessing(std::chrono::milliseconds duration) override;

  // Processes events until `done` holds or `timeout` passes; returns whether it holds.
  // Between events it sleeps until a task is posted or a timer or delayed task is due, and
  // asks `done` after each of those; a condition that another thread changes without
  // posting is asked again at least every `recheck`.
  bool runUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10),
                std::chrono::milliseconds recheck = std::chrono::milliseconds(10));

 private:
  using Clock = std::chrono::steady_clock;
  using TimerKey = std::pair<WindowModel*, std::string>;

  void modelChanged(const WindowModel& model, const Change& change) override;
  // Fires the timers that are due.
  void fireDueTimers();
  // Moves the delayed tasks that are due to the end of tasks_. Call with mutex_ held.
  void releaseDueTasks(Clock::time_point now);
  // Sleeps until a task is posted, a timer or delayed task is due, or `until`; returns at
  // once when something is due already.
  void sleepUntil(Clock::time_point until);
  // When the next timer or delayed task is due; a pending task makes it now. Call with
  // mutex_ held.
  Clock::time_point nextDueLocked() const;

  std::thread::id uiThread_;
  mutable std::mutex mutex_;  // guards tasks_, delayed_, timers_ and models_
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::multimap<Clock::time_point, std::function<void()>> delayed_;  // by due time
  std::map<TimerKey, Clock::time_point> timers_;  // next tick of each running timer
  std::map<const WindowModel*, WindowModel*> models_;
};

}  // namespace quenbo::window
