// How the main window's components follow a window larger than its form. The window model
// keeps the form's geometry; here each component gets the share of its container's growth
// by which it moves and grows: the tab control and each page's main control grow, the search
// row stays centred above, the film tiles and the donation page stay centred, the status bar
// stays at the bottom.
#pragma once

#include "window/component.h"

namespace quenbo::qt {

// Fractions of the container's growth (how much wider and higher than in the form it is).
struct Stretch {
  double moveX = 0, growX = 0, moveY = 0, growY = 0;
};

Stretch stretchOf(const window::ComponentTemplate& component);

// A form's rectangle moved and grown by `stretch` of the container's growth (dx, dy).
// Edges are rounded, not sizes, so components that share an edge keep sharing it.
window::Geometry stretched(const window::Geometry& designed, const Stretch& stretch, int dx,
                           int dy);

}  // namespace quenbo::qt
