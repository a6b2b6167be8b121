// A release folder as the update server publishes it: every regular file below it, by its
// path relative to the folder ("/dir/file"), with its MD5.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quenbo::updateserver {

struct ReleaseFile {
  std::string pathName;  // "/" + the relative path with "/" separators
  std::string md5;       // lower-case hexadecimal
};

// Read afresh on every call, so a folder republished while the server runs is served as
// it is now. Symbolic links and hidden files (names starting with ".") are left out.
std::vector<ReleaseFile> scanRelease(const std::filesystem::path& folder);

// The file a request path names inside the folder, or nothing when it names none (or
// would leave the folder).
std::optional<std::filesystem::path> releaseFile(const std::filesystem::path& folder,
                                                 const std::string& pathName);

}  // namespace quenbo::updateserver
