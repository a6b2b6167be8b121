// Where the main window was and how large, kept in a section of the settings file of its
// own so that the window opens the next time as it was left. The other sections and keys
// are never touched.
#pragma once

#include <optional>

#include "base/ini_file.h"

namespace quenbo::settings {

struct WindowPlacement {
  int left = 0, top = 0;     // of the window's frame
  int width = 0, height = 0;  // of its client area, in the normal (not maximised) state
  bool maximised = false;
  int tab = -1;  // the current tab; -1: not stored
  bool operator==(const WindowPlacement&) const = default;
};

// The placement a settings file holds; none unless all four numbers are there and the size
// is positive. The tab is read by readCurrentTab, on its own.
std::optional<WindowPlacement> readWindowPlacement(const IniFile& file);
void setWindowPlacement(IniFile& file, const WindowPlacement& placement);

// The tab that was current, -1 when none is stored.
int readCurrentTab(const IniFile& file);

}  // namespace quenbo::settings
