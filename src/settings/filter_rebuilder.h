// Re-lists the stored hits after a filter setting changed, once a search has finished, so
// the list always matches the settings. A click rebuilds at once. Typing rebuilds at once
// while rebuilds are quicker than a frame; once one took longer, typing waits for a pause
// instead, so every keystroke stays responsive and the list matches the settings as soon
// as the user stops typing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quenbo::window {
class UiLoop;
}
namespace quenbo::core {
class ResultStore;
}

namespace quenbo::ui {

class FilterRebuilder final {
 public:
  struct Timing {
    std::chrono::milliseconds frame{16};   // a rebuild slower than this is deferred
    std::chrono::milliseconds pause{300};  // typing has paused after this long
  };

  // `searchDone` tells whether a search has run and finished (UI thread).
  FilterRebuilder(window::UiLoop& loop, core::ResultStore& store,
                  std::function<bool()> searchDone, Timing timing);
  FilterRebuilder(window::UiLoop& loop, core::ResultStore& store,
                  std::function<bool()> searchDone)
      : FilterRebuilder(loop, store, std::move(searchDone), Timing{}) {}
  // Stops the pause timer; a deferred rebuild that has not run by then is dropped.
  ~FilterRebuilder();
  FilterRebuilder(const FilterRebuilder&) = delete;
  FilterRebuilder& operator=(const FilterRebuilder&) = delete;

  // UI thread: a check box of the filter changed.
  void settingClicked();
  // UI thread: the text of a word list or size box changed.
  void settingTyped();

  // Whether a deferred rebuild is waiting for typing to pause or for its turn on the UI
  // thread.
  bool pending() const;
  // How long the last rebuild took (UI thread).
  std::chrono::steady_clock::duration lastCost() const { return lastCost_; }

 private:
  void rebuildNow();  // UI thread
  void cancelPending();
  void runTimer();    // the timer thread

  window::UiLoop& loop_;
  core::ResultStore& store_;
  const std::function<bool()> searchDone_;
  const Timing timing_;
  std::chrono::steady_clock::duration lastCost_{};  // UI thread only
  // Cleared by the destructor; a posted rebuild that runs later finds it false. UI thread.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  mutable std::mutex mutex_;  // guards due_, posted_ and quitting_
  std::condition_variable wake_;
  std::optional<std::chrono::steady_clock::time_point> due_;
  bool posted_ = false;  // a deferred rebuild waits in the UI loop
  bool quitting_ = false;
  std::thread timer_;  // last: started once everything above exists
};

}  // namespace quenbo::ui
