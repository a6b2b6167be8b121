#include "settings/settings_location.h"

#include <cstdlib>

#include "base/encoding.h"
#include "base/files.h"

namespace quenbo::ui {

Text userConfigDirectory() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return utf8ToGbk(config);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return joinPath(utf8ToGbk(home), ".config");
  return {};
}

Text settingsFilePath(const Text& installDirectory, const Text& configDirectory) {
  Text portable = joinPath(installDirectory, "Clss.ini");
  if (fileExists(portable) || directoryWritable(installDirectory) || configDirectory.empty()) {
    return portable;
  }
  return joinPath(joinPath(configDirectory, "quenbo"), "Clss.ini");
}

}  // namespace quenbo::ui
