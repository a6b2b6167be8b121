#include "settings/filter_rebuilder.h"

#include "core/result_store.h"
#include "window/ui_loop.h"

namespace quenbo::ui {

using Clock = std::chrono::steady_clock;

FilterRebuilder::FilterRebuilder(window::UiLoop& loop, core::ResultStore& store,
                                 std::function<bool()> searchDone, Timing timing)
    : loop_(loop),
      store_(store),
      searchDone_(std::move(searchDone)),
      timing_(timing),
      timer_([this] { runTimer(); }) {}

FilterRebuilder::~FilterRebuilder() {
  *alive_ = false;
  {
    std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  wake_.notify_all();
  timer_.join();
}

void FilterRebuilder::settingClicked() {
  cancelPending();
  rebuildNow();
}

void FilterRebuilder::settingTyped() {
  // While a search runs, or before the first one, new settings act on arriving hits only.
  if (!searchDone_()) return;
  if (lastCost_ < timing_.frame) {
    cancelPending();
    rebuildNow();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    due_ = Clock::now() + timing_.pause;
  }
  wake_.notify_all();
}

bool FilterRebuilder::pending() const {
  std::lock_guard lock(mutex_);
  return due_.has_value() || posted_;
}

void FilterRebuilder::cancelPending() {
  std::lock_guard lock(mutex_);
  due_.reset();
}

void FilterRebuilder::rebuildNow() {
  if (!searchDone_()) return;
  auto started = Clock::now();
  store_.rebuild();
  lastCost_ = Clock::now() - started;
}

void FilterRebuilder::runTimer() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (quitting_) return;
    if (!due_) {
      wake_.wait(lock);
      continue;
    }
    // Every keystroke moves the due time on; wait until it stops moving.
    if (Clock::now() < *due_) {
      wake_.wait_until(lock, *due_);
      continue;
    }
    due_.reset();
    posted_ = true;
    lock.unlock();
    loop_.post([this, alive = alive_] {
      if (!*alive) return;
      {
        std::lock_guard lock(mutex_);
        posted_ = false;
      }
      rebuildNow();
    });
    lock.lock();
  }
}

}  // namespace quenbo::ui
