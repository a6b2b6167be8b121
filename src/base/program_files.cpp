#include "base/program_files.h"

#include <cstdlib>

#include "base/files.h"

// Set by the build from GNUInstallDirs: the data directory as seen from the binary one.
#ifndef QUENBO_DATA_FROM_BIN
#define QUENBO_DATA_FROM_BIN "../share/quenbo"
#endif

namespace quenbo {

std::filesystem::path installedDataDirectory(const std::filesystem::path& executableDirectory) {
  return (executableDirectory / QUENBO_DATA_FROM_BIN).lexically_normal();
}

ProgramFiles locateProgramFiles(const std::filesystem::path& executableDirectory) {
  ProgramFiles files{executableDirectory, executableDirectory, false};
  if (fileExists(executableDirectory / "sites.hosts")) return files;
  std::filesystem::path installed = installedDataDirectory(executableDirectory);
  if (fileExists(installed / "sites.hosts")) {
    files.dataDirectory = installed;
    files.installed = true;
  }
  return files;
}

std::filesystem::path userConfigDirectory() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::filesystem::path(home) / ".config";
  return {};
}

std::filesystem::path systemConfigDirectory() {
  return "/etc/quenbo";
}

}  // namespace quenbo
