// Files on disk. Paths are std::filesystem::path, native bytes (UTF-8 on Linux) from argv,
// /proc/self/exe and the environment up to the system call: a GBK text cannot hold every
// character a file name may have ("/home/søren", "/home/김민수").
#pragma once

#include <filesystem>
#include <optional>
#include <system_error>

#include "base/text.h"

namespace quenbo {

// The running executable and its directory (symbolic links resolved).
std::filesystem::path executablePath();
std::filesystem::path executableDirectory();

bool fileExists(const std::filesystem::path& path);
bool directoryExists(const std::filesystem::path& path);
[[nodiscard]] bool deleteFile(const std::filesystem::path& path);
// The most bytes readFile takes: settings and hosts files are far smaller.
inline constexpr std::size_t kReadLimit = std::size_t{4} << 20;
// The bytes of a regular file of at most kReadLimit bytes; nothing for anything else (a
// missing or larger file, a directory, a device, a FIFO), which is never waited on.
[[nodiscard]] std::optional<Bytes> readFile(const std::filesystem::path& path);
// Why readFile gave nothing.
enum class ReadRefusal {
  none,
  cannotOpen,      // missing, or no permission
  notRegularFile,  // a directory, a device, a FIFO, a socket
  tooLarge,        // more than kReadLimit bytes
  cannotRead,      // a read failed
};
// As readFile, saying in `refusal` why nothing came back.
[[nodiscard]] std::optional<Bytes> readFile(const std::filesystem::path& path,
                                            ReadRefusal& refusal);
// Creates or truncates the file and writes all bytes; false on any failure.
[[nodiscard]] bool writeFile(const std::filesystem::path& path, const Bytes& bytes);
// Replaces the file's content as one step: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old one. On any failure (a full disk,
// a crash before the rename) the old file stays as it was and false comes back. A symbolic
// link is followed, so the file it points to is replaced; the old file's permissions are
// kept. A file the process may not write, or one without any write permission (0444, even
// for root), is never replaced: EACCES ("Permission denied"), as writing into it would fail.
[[nodiscard]] bool replaceFile(const std::filesystem::path& path, const Bytes& bytes);
// The same, saying in `reason` why it failed.
[[nodiscard]] bool replaceFile(const std::filesystem::path& path, const Bytes& bytes,
                               std::error_code& reason);

// Whether the process may create files in the directory.
bool directoryWritable(const std::filesystem::path& path);
// Creates the directory and its missing parents; true when it exists afterwards.
[[nodiscard]] bool makeDirectories(const std::filesystem::path& path);

// A path as the user reads it in a GBK text (the window, the log box): characters GBK
// lacks become "?". Never turned back into a path.
Text displayPath(const std::filesystem::path& path);

}  // namespace quenbo
