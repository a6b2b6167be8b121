// Where the settings file lives: next to the executable for a portable install, in the
// user's configuration directory when the program is installed where it may not write.
#pragma once

#include "base/text.h"

namespace quenbo::ui {

// "$XDG_CONFIG_HOME", or "$HOME/.config" when that is unset or not absolute; empty when
// neither can be found. GBK, as every path of the system.
Text userConfigDirectory();

// "Clss.ini" next to the executable when it exists there or the directory is writable;
// otherwise "quenbo/Clss.ini" under `configDirectory` (and next to the executable after
// all when there is no configuration directory).
Text settingsFilePath(const Text& installDirectory, const Text& configDirectory);
inline Text settingsFilePath(const Text& installDirectory) {
  return settingsFilePath(installDirectory, userConfigDirectory());
}

}  // namespace quenbo::ui
