#include "app/log_follower.h"

#include "forms/main_window_names.h"

namespace quenbo::app {

using namespace window::names;

LogFollower::LogFollower(window::WindowModel& window, Sink sink)
    : window_(window), sink_(std::move(sink)) {
  window_.addObserver(this);
}

LogFollower::~LogFollower() {
  window_.removeObserver(this);
}

void LogFollower::flush() {
  if (!changed_.exchange(false)) return;
  window::TextShape shape = window_.textShape(编辑框_日志);
  if (shape.replacements != replacements_ || shape.text.size() < written_) {
    replacements_ = shape.replacements;
    written_ = 0;
  }
  std::string_view added = std::string_view(shape.text).substr(written_);
  written_ = shape.text.size();
  if (!added.empty()) sink_(added);
}

void LogFollower::modelChanged(const window::WindowModel&, const window::Change& change) {
  if (change.component == 编辑框_日志) changed_ = true;
}

}  // namespace quenbo::app
