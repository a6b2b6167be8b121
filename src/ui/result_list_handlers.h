// The result list's events: the right click that pops the menu up, the double click, the
// menu's items and the column headers.
#pragma once

namespace quenbo::window {
class WindowModel;
class Interactions;
}  // namespace quenbo::window
namespace quenbo::ui {
class ResultSource;
}

namespace quenbo::ui {

// Binds the handlers; all of them run on the UI thread.
void bindResultListHandlers(window::WindowModel& window, window::Interactions& interactions,
                            ResultSource& results);

}  // namespace quenbo::ui
