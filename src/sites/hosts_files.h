// Which hosts files the program reads, in order; a key read later wins.
#pragma once

#include <filesystem>
#include <vector>

#include "base/program_files.h"

namespace quenbo::sites {

struct HostsFile {
  std::filesystem::path path;
  bool required = false;  // a required file that cannot be read is a problem; others are skipped
};

// 1. sites.hosts of the program's data directory (beside the executable, or the installed
//    share/quenbo), and for a build tree or portable copy sites.hosts.local beside it;
// 2. sites.hosts of `systemConfig` (/etc/quenbo);
// 3. quenbo/sites.hosts.local under `userConfig` ($XDG_CONFIG_HOME);
// 4. `optionFile`, the one named by --hosts.
// Empty directories and an empty option are left out.
std::vector<HostsFile> hostsFileOrder(const ProgramFiles& program,
                                      const std::filesystem::path& systemConfig,
                                      const std::filesystem::path& userConfig,
                                      const std::filesystem::path& optionFile);

// The order for the running program: its own files and the machine's and user's
// configuration directories.
std::vector<HostsFile> hostsFileOrder(const std::filesystem::path& executableDirectory,
                                      const std::filesystem::path& optionFile);

}  // namespace quenbo::sites
