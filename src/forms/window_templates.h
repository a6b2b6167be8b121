// The two windows of the program as data.
#pragma once

#include "window/component.h"

namespace quenbo::forms {

// The main window: keyword box, search and stop buttons, seven tabs, status bar, monitor
// timer and the popup menu over the result list.
const window::WindowTemplate& mainWindowTemplate();

// The update window: the list of files to update, the change log and two buttons.
const window::WindowTemplate& updateWindowTemplate();

}  // namespace quenbo::forms
