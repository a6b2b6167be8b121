#include "settings/settings_location.h"

#include "base/files.h"

namespace quenbo::settings {

std::filesystem::path settingsFilePath(const ProgramFiles& program,
                                       const std::filesystem::path& configDirectory) {
  std::filesystem::path portable = program.executableDirectory / "Clss.ini";
  if (fileExists(portable) || configDirectory.empty()) return portable;
  if (!program.installed && directoryWritable(program.executableDirectory)) return portable;
  return configDirectory / "quenbo" / "Clss.ini";
}

}  // namespace quenbo::settings
