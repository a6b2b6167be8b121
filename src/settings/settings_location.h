// Where the settings file lives: in the user's configuration directory for an installed
// program, next to the executable for a portable copy.
#pragma once

#include <filesystem>

#include "base/program_files.h"

namespace quenbo::settings {

using quenbo::userConfigDirectory;

// "Clss.ini" next to the executable when it exists there. Otherwise, for an installed
// program, "quenbo/Clss.ini" under `configDirectory`; for a portable copy, next to the
// executable when its directory is writable, else under `configDirectory` too. Next to the
// executable after all when there is no configuration directory.
std::filesystem::path settingsFilePath(const ProgramFiles& program,
                                       const std::filesystem::path& configDirectory);
inline std::filesystem::path settingsFilePath(const std::filesystem::path& executableDirectory,
                                              const std::filesystem::path& configDirectory) {
  return settingsFilePath(locateProgramFiles(executableDirectory), configDirectory);
}
inline std::filesystem::path settingsFilePath(const std::filesystem::path& executableDirectory) {
  return settingsFilePath(executableDirectory, userConfigDirectory());
}

}  // namespace quenbo::settings
