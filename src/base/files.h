// Files on disk. Paths are std::filesystem::path, native bytes (UTF-8 on Linux) from argv,
// /proc/self/exe and the environment up to the system call: a GBK text cannot hold every
// character a file name may have ("/home/søren", "/home/김민수").
#pragma once

#include <filesystem>
#include <optional>

#include "base/text.h"

namespace quenbo {

// The running executable and its directory (symbolic links resolved).
std::filesystem::path executablePath();
std::filesystem::path executableDirectory();

bool fileExists(const std::filesystem::path& path);
bool directoryExists(const std::filesystem::path& path);
bool deleteFile(const std::filesystem::path& path);
std::optional<Bytes> readFile(const std::filesystem::path& path);
// Creates or truncates the file and writes all bytes; false on any failure.
bool writeFile(const std::filesystem::path& path, const Bytes& bytes);
// Replaces the file's content as one step: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old one. On any failure (a full disk,
// a crash before the rename) the old file stays as it was and false comes back. A symbolic
// link is followed, so the file it points to is replaced; the old file's permissions are
// kept.
bool replaceFile(const std::filesystem::path& path, const Bytes& bytes);

// Whether the process may create files in the directory.
bool directoryWritable(const std::filesystem::path& path);
// Creates the directory and its missing parents; true when it exists afterwards.
bool makeDirectories(const std::filesystem::path& path);

// A path as the user reads it in a GBK text (the window, the log box): characters GBK
// lacks become "?". Never turned back into a path.
Text displayPath(const std::filesystem::path& path);

}  // namespace quenbo
