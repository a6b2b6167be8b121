#include "settings/filter_rebuilder.h"

#include "window/ui_loop.h"

namespace quenbo::settings {

FilterRebuilder::FilterRebuilder(window::UiLoop& loop, std::function<void()> rebuild,
                                 std::function<bool()> searchDone, Timing timing)
    : loop_(loop), rebuild_(std::move(rebuild)), searchDone_(std::move(searchDone)),
      timing_(timing) {}

FilterRebuilder::~FilterRebuilder() { *alive_ = false; }

void FilterRebuilder::settingClicked() {
  loop_.assertOnUiThread();
  due_.reset();
  rebuildNow();
}

void FilterRebuilder::settingTyped() {
  loop_.assertOnUiThread();
  // While a search runs, or before the first one, new settings act on arriving hits only.
  if (!searchDone_()) return;
  if (lastCost_ < timing_.frame) {
    due_.reset();
    rebuildNow();
    return;
  }
  due_ = Clock::now() + timing_.pause;
  if (!wakePosted_) wakeAfter(timing_.pause);
}

void FilterRebuilder::wakeAfter(Clock::duration delay) {
  wakePosted_ = true;
  loop_.postAfter(std::chrono::ceil<std::chrono::milliseconds>(delay), [this, alive = alive_] {
    if (*alive) checkPause();
  });
}

void FilterRebuilder::checkPause() {
  wakePosted_ = false;
  if (!due_) return;  // a click rebuilt meanwhile
  // Every keystroke moves the due time on; wait until it stops moving.
  if (auto now = Clock::now(); now < *due_) return wakeAfter(*due_ - now);
  due_.reset();
  rebuildNow();
}

void FilterRebuilder::rebuildNow() {
  if (!searchDone_()) return;
  auto started = Clock::now();
  rebuild_();
  lastCost_ = Clock::now() - started;
}

}  // namespace quenbo::settings
