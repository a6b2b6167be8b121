#include "window/ui_loop.h"

#include <future>

namespace quenbo::window {

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
