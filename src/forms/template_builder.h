// Small helpers that keep the window templates readable as tables.
#pragma once

#include <string_view>

#include "window/component.h"

namespace quenbo::forms::build {

inline window::ComponentTemplate component(window::ComponentKind kind, std::string_view name, window::Geometry geometry,
                                   Text text = {}) {
  window::ComponentTemplate c;
  c.kind = kind;
  c.name = std::string(name);
  c.geometry = geometry;
  c.text = std::move(text);
  return c;
}

// Places a component on a page of a tab control, or inside a container.
inline window::ComponentTemplate on(window::ComponentTemplate c, std::string_view parent, int tabPage = -1) {
  c.parent = std::string(parent);
  c.tabPage = tabPage;
  return c;
}

inline window::ComponentTemplate hidden(window::ComponentTemplate c) {
  c.visible = false;
  return c;
}

inline window::ComponentTemplate coloured(window::ComponentTemplate c, std::uint32_t rgb) {
  c.textColour = rgb;
  return c;
}

inline window::ComponentTemplate withEdit(window::ComponentTemplate c, window::EditStyle style) {
  c.edit = style;
  return c;
}

}  // namespace quenbo::forms::build
