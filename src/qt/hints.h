// What the main window tells the user about its controls: tooltips with ranges, units and
// shortcuts, the word boxes' placeholders and captions.
#pragma once

namespace quenbo::qt {

class WindowView;

// GUI thread: puts the hints on the main window's widgets.
void applyMainWindowHints(WindowView& view);

}  // namespace quenbo::qt
