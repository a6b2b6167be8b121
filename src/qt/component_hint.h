// How a component's marker and tooltip look on Qt widgets.
#pragma once

#include "window/window_model.h"

class QWidget;

namespace quenbo::qt {

// A marked component draws its caption in a warning colour, underlined; the tooltip is the
// hint's text. An unmarked one goes back to the look it had.
void applyHint(QWidget& widget, const window::Hint& hint);

}  // namespace quenbo::qt
