// Where the program's own files are. A build tree or a portable copy keeps them beside the
// executable; an installed program finds them under <prefix>/share/quenbo, reached from
// <prefix>/bin, so an unpacked package works wherever it was unpacked.
#pragma once

#include <filesystem>

namespace quenbo {

struct ProgramFiles {
  std::filesystem::path executableDirectory;
  // Holds the shipped sites.hosts: the executable's directory, or the installed data
  // directory when the program is installed.
  std::filesystem::path dataDirectory;
  // sites.hosts is not beside the executable but in the installed data directory.
  bool installed = false;
};

// Decides by where sites.hosts is: beside the executable wins; else the installed data
// directory when the file is there; else (nothing found) the executable's directory.
ProgramFiles locateProgramFiles(const std::filesystem::path& executableDirectory);

// The installed data directory for an executable in `executableDirectory`.
std::filesystem::path installedDataDirectory(const std::filesystem::path& executableDirectory);

// "$XDG_CONFIG_HOME", or "$HOME/.config" when that is unset or not absolute; empty when
// neither can be found.
std::filesystem::path userConfigDirectory();

// The machine's own configuration: /etc/quenbo.
std::filesystem::path systemConfigDirectory();

}  // namespace quenbo
