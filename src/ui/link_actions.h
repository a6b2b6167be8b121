// Opening and copying the magnet link of the selected result row, and the rule for which
// texts may leave the program for the desktop's opener at all.
#pragma once

#include "base/text.h"

namespace quenbo::window {
class WindowModel;
class Interactions;
}  // namespace quenbo::window

namespace quenbo::ui {

// Whether a text may be handed to the magnet-link handler: it starts with "magnet:?".
// Anything else in a cell (a file path, another scheme) is never opened.
bool isMagnetLink(const Text& text);
// Whether a text may be handed to the browser: an http:// or https:// URL.
bool isWebLink(const Text& text);

// UI thread. Hands the "Magnet" cell of the selected row to the desktop as one argument;
// nothing happens without a selection or when the cell is not a magnet link.
void openMagnet(const window::WindowModel& window, window::Interactions& interactions);
// UI thread. Puts the "Magnet" cells of the selected rows on the clipboard, one a line in
// list order; nothing without a selection.
void copyMagnet(const window::WindowModel& window, window::Interactions& interactions);

}  // namespace quenbo::ui
