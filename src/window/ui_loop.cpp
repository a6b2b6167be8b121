#include "window/ui_loop.h"

#include <cassert>
#include <future>

namespace quenbo::window {

void UiLoop::assertOnUiThread() const { assert(onUiThread()); }

void UiLoop::runOnUiThread(const std::function<void()>& task) {
  if (onUiThread()) {
    task();
    return;
  }
  std::promise<void> done;
  post([&] {
    task();
    done.set_value();
  });
  done.get_future().wait();
}

}  // namespace quenbo::window
