// Where listed files go in the installation directory, and whether the installation may
// update itself at all.
#pragma once

#include <sys/types.h>

#include <cstdint>
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

// Why the replace script, run as `user`, could not put a new executable of `size` bytes over
// `target`: its folder refuses the rename (no write permission, or a sticky folder and a file
// that is neither the user's nor in the user's folder), or the disk has no room for the
// copy the script makes beside it. Empty when nothing stands in the way.
Text replaceObstacle(const std::filesystem::path& target, std::uintmax_t size, uid_t user);

// The mark a replace script that failed leaves in the installation directory: it holds the
// path it could not replace.
std::filesystem::path replaceFailureMark(const std::filesystem::path& installDirectory);
// What the mark says, for the user, and the mark deleted; nothing without one.
std::optional<Text> takeReplaceFailure(const std::filesystem::path& installDirectory);

}  // namespace quenbo::update
