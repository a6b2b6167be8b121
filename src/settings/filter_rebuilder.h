// Re-lists the stored hits after a filter setting changed, once a search has finished, so
// the list always matches the settings. A click rebuilds at once. Typing rebuilds at once
// while rebuilds are quicker than a frame; once one took longer, typing waits for a pause
// instead, so every keystroke stays responsive and the list matches the settings as soon
// as the user stops typing.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace quenbo::window {
class UiLoop;
}

namespace quenbo::settings {

class FilterRebuilder final {
 public:
  struct Timing {
    std::chrono::milliseconds frame{16};   // a rebuild slower than this is deferred
    std::chrono::milliseconds pause{300};  // typing has paused after this long
  };

  // `rebuild` lists the stored hits again under the settings; `searchDone` tells whether a
  // search has run and finished (UI thread, both).
  FilterRebuilder(window::UiLoop& loop, std::function<void()> rebuild,
                  std::function<bool()> searchDone, Timing timing);
  FilterRebuilder(window::UiLoop& loop, std::function<void()> rebuild,
                  std::function<bool()> searchDone)
      : FilterRebuilder(loop, std::move(rebuild), std::move(searchDone), Timing{}) {}
  // A deferred rebuild that has not run by then is dropped. UI thread.
  ~FilterRebuilder();
  FilterRebuilder(const FilterRebuilder&) = delete;
  FilterRebuilder& operator=(const FilterRebuilder&) = delete;

  // UI thread: a check box of the filter changed.
  void settingClicked();
  // UI thread: the text of a word list or size box changed.
  void settingTyped();

  // Whether a deferred rebuild is waiting for typing to pause (UI thread).
  bool pending() const { return due_.has_value(); }
  // How long the last rebuild took (UI thread).
  std::chrono::steady_clock::duration lastCost() const { return lastCost_; }

 private:
  using Clock = std::chrono::steady_clock;

  void rebuildNow();
  // Has the loop call checkPause after `delay`.
  void wakeAfter(Clock::duration delay);
  // Rebuilds once typing has paused, or waits again until it has.
  void checkPause();

  // Everything below is used on the UI thread only.
  window::UiLoop& loop_;
  const std::function<void()> rebuild_;
  const std::function<bool()> searchDone_;
  const Timing timing_;
  std::chrono::steady_clock::duration lastCost_{};
  std::optional<Clock::time_point> due_;  // typing has paused then; each keystroke moves it on
  bool wakePosted_ = false;               // a checkPause waits in the loop
  // Cleared by the destructor; a wake-up that runs later finds it false.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quenbo::settings
