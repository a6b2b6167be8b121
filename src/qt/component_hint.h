// How a component's marker and tooltip look on Qt widgets.
#pragma once

#include "window/window_model.h"

class QWidget;

namespace quenbo::qt {

// The widget property holding a tooltip the front-end gives a component for good (what a
// site box does); a hint's own tooltip covers it while the hint has one.
inline constexpr const char* kStandingToolTip = "standingToolTip";

// A marked component draws its caption in a warning colour, underlined; the tooltip is the
// hint's text. An unmarked one goes back to the look it had.
void applyHint(QWidget& widget, const window::Hint& hint);

}  // namespace quenbo::qt
