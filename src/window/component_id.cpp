#include "window/component_id.h"

#include <mutex>
#include <ostream>
#include <unordered_set>

namespace quenbo::window {

std::string_view kindName(HandleKind handle) {
  switch (handle) {
    case HandleKind::Any: return "component";
    case HandleKind::EditBox: return "edit box";
    case HandleKind::CheckBox: return "check box";
    case HandleKind::Button: return "button";
    case HandleKind::Label: return "label";
    case HandleKind::PictureBox: return "picture box";
    case HandleKind::ReportList: return "report list";
    case HandleKind::TabControl: return "tab control";
    case HandleKind::StatusBar: return "status bar";
    case HandleKind::Timer: return "timer";
    case HandleKind::FileDialog: return "file dialog";
  }
  return "component";
}

std::string_view internName(std::string_view name) {
  // The elements of a node-based set never move, so the views stay valid as it grows. It
  // grows only by the names the program makes, a few dozen.
  static std::mutex mutex;
  static std::unordered_set<std::string> names;
  std::lock_guard lock(mutex);
  return *names.emplace(name).first;
}

std::ostream& operator<<(std::ostream& out, const NamedId& id) { return out << id.name(); }

}  // namespace quenbo::window
