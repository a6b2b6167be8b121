// Files on disk. Paths are GBK texts, as the rest of the system holds them; Linux file
// names are UTF-8, so every call converts the path first.
#pragma once

#include <filesystem>
#include <optional>
#include <system_error>

#include "base/text.h"

namespace quenbo {

// The directory of the running executable, without a trailing separator.
Text executableDirectory();
// The file name of the running executable.
Text executableName();

// GBK path to the UTF-8 form the filesystem takes.
std::string nativePath(const Text& path);

bool fileExists(const Text& path);
bool directoryExists(const Text& path);
[[nodiscard]] bool deleteFile(const Text& path);
// The most bytes readFile takes: settings and hosts files are far smaller.
inline constexpr std::size_t kReadLimit = std::size_t{4} << 20;
// The bytes of a regular file of at most kReadLimit bytes; nothing for anything else (a
// missing or larger file, a directory, a device, a FIFO), which is never waited on.
[[nodiscard]] std::optional<Bytes> readFile(const Text& path);
// Creates or truncates the file and writes all bytes; false on any failure.
[[nodiscard]] bool writeFile(const Text& path, const Bytes& bytes);
// Replaces the file's content as one step: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old one. On any failure (a full disk,
// a crash before the rename) the old file stays as it was and false comes back. A symbolic
// link is followed, so the file it points to is replaced; the old file's permissions are
// kept.
[[nodiscard]] bool replaceFile(const Text& path, const Bytes& bytes);
// The same for a native path (as the user chose it); `reason` says why it failed.
[[nodiscard]] bool replaceFile(const std::filesystem::path& path, const Bytes& bytes,
                               std::error_code& reason);

// Whether the process may create files in the directory.
bool directoryWritable(const Text& path);
// Creates the directory and its missing parents; true when it exists afterwards.
[[nodiscard]] bool makeDirectories(const Text& path);

// Joins a directory and a name with one "/".
Text joinPath(const Text& directory, const Text& name);
// The directory part of a path, without a trailing "/" ("." for a bare name).
Text parentDirectory(const Text& path);

}  // namespace quenbo
