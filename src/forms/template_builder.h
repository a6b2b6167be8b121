// Small helpers that keep the window templates readable as tables.
#pragma once

#include <string_view>

#include "window/component.h"

namespace quenbo::window::build {

inline ComponentTemplate component(ComponentKind kind, std::string_view name, Geometry geometry,
                                   Text text = {}) {
  ComponentTemplate c;
  c.kind = kind;
  c.name = std::string(name);
  c.geometry = geometry;
  c.text = std::move(text);
  return c;
}

// Places a component on a page of a tab control, or inside a container.
inline ComponentTemplate on(ComponentTemplate c, std::string_view parent, int tabPage = -1) {
  c.parent = std::string(parent);
  c.tabPage = tabPage;
  return c;
}

inline ComponentTemplate hidden(ComponentTemplate c) {
  c.visible = false;
  return c;
}

inline ComponentTemplate coloured(ComponentTemplate c, std::uint32_t rgb) {
  c.textColour = rgb;
  return c;
}

inline ComponentTemplate withEdit(ComponentTemplate c, EditStyle style) {
  c.edit = style;
  return c;
}

}  // namespace quenbo::window::build
