// The program's own command line, decided before any window opens: --help and --version
// print and end, and without a display the window is not tried.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>

namespace quenbo::app {

// The program's version, from the build.
const char* programVersion();

// The usage text of "quenbo --help", UTF-8, ending in a line feed.
const char* programUsage();

// Whether a window can open: an X or Wayland display is named, or Qt is told which
// platform to use (QT_QPA_PLATFORM, -platform).
bool displayAvailable(std::span<const char* const> arguments);

// `arguments` are those after the program name, for the window (not "search"). Returns the
// exit status when the process ends here: 0 after --help or --version, 1 without a display.
std::optional<int> handleProgramOptions(std::span<const char* const> arguments,
                                        std::ostream& out, std::ostream& err);

}  // namespace quenbo::app
