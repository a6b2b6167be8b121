#include "window/component.h"

namespace quenbo::window {

const ComponentTemplate* WindowTemplate::find(const std::string& wanted) const {
  for (const auto& component : components) {
    if (component.name == wanted) return &component;
  }
  return nullptr;
}

const MenuTemplate* WindowTemplate::findMenu(const std::string& wanted) const {
  for (const auto& menu : menus) {
    if (menu.name == wanted) return &menu;
  }
  return nullptr;
}

Text applyTyping(const ComponentTemplate& box, const Text& current, std::string_view typed) {
  Text text = current;
  for (char c : typed) {
    if (box.edit.integerInput && !((c >= '0' && c <= '9') || c == '-')) continue;
    if (box.edit.maxLength > 0 && static_cast<int>(text.size()) >= box.edit.maxLength) break;
    text += c;
  }
  return text;
}

}  // namespace quenbo::window
