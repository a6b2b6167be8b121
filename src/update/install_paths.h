// Where listed files go in the installation directory, and whether the installation may
// update itself at all.
#pragma once

#include <filesystem>
#include <optional>

#include "base/text.h"

namespace quenbo::update {

// The installation directory + pathName (a GBK text from the service, each component
// turned into the file system's name here), or nothing when the pathName would leave
// the directory: ".." components, empty components, backslashes, a drive or scheme
// ("c:"), or a parent inside the directory that is a symbolic link. One leading "/" is the
// usual form ("/dir/file" is dir/file inside the installation).
std::optional<std::filesystem::path> installedPath(const std::filesystem::path& installDirectory,
                                                  const Text& pathName);

// Whether the installation may replace its own files: the directory is writable by this
// user, has a write permission bit at all (so a directory made read-only holds even for
// root), and is not under /usr (other than /usr/local), where a package manager owns it.
bool selfUpdateAllowed(const std::filesystem::path& installDirectory);

// Deletes the executable a self-update left as "临时主程序" in the installation directory.
// One that cannot be deleted is tried again at the next start.
void deleteUpdateLeftover(const std::filesystem::path& installDirectory);

}  // namespace quenbo::update
