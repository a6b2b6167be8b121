#include "base/stop_bell.h"

namespace quenbo {

StopBell::Listener::Listener(StopBell& bell, std::function<void()> wake) : bell_(&bell) {
  std::lock_guard lock(bell.mutex_);
  id_ = bell.nextId_++;
  bell.wakers_.emplace(id_, std::move(wake));
}

StopBell::Listener::~Listener() {
  if (!bell_) return;
  std::lock_guard lock(bell_->mutex_);
  bell_->wakers_.erase(id_);
}

void StopBell::ring() {
  std::lock_guard lock(mutex_);
  for (auto& [id, wake] : wakers_) wake();
}

}  // namespace quenbo
