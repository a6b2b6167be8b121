// One widget per component kind, made from the component's template.
#pragma once

#include "window/component.h"
#include "window/window_model.h"

class QWidget;

namespace quenbo::qt {

// Creates the widget of a component as a child of `parent`, with its look, caption, columns
// or parts; the caller places it and feeds it the model's state. Returns null for the kinds
// that have no widget (timers, file dialogs). A report list reads its rows from `model`.
QWidget* createComponentWidget(const window::ComponentTemplate& component,
                               const window::WindowModel& model, QWidget* parent);

}  // namespace quenbo::qt
