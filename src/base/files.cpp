#include "base/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/encoding.h"

namespace quenbo {
namespace {

bool writeAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes a finished rename survive a power cut; a failure here loses nothing.
void syncDirectory(const std::filesystem::path& directory) {
  int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A new file beside `target` that no other writer uses; -1 when none can be made.
int createTemporary(const std::filesystem::path& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target.string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::filesystem::path executablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

std::filesystem::path executableDirectory() { return executablePath().parent_path(); }

Text displayPath(const std::filesystem::path& path) { return utf8ToGbk(path.string()); }

bool fileExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

bool directoryExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

bool deleteFile(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0; }

// Plain reads: the stream library throws on some read errors (a directory, for one).
// Opening does not block (a FIFO without a writer would), and the kind and size are
// checked on the opened file, so it cannot be swapped in between.
std::optional<Bytes> readFile(const std::filesystem::path& path) {
  ReadRefusal refusal;
  return readFile(path, refusal);
}

std::optional<Bytes> readFile(const std::filesystem::path& path, ReadRefusal& refusal) {
  auto refuse = [&refusal](int fd, ReadRefusal why) -> std::optional<Bytes> {
    if (fd >= 0) ::close(fd);
    refusal = why;
    return std::nullopt;
  };
  refusal = ReadRefusal::none;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return refuse(fd, ReadRefusal::cannotOpen);
  struct stat status {};
  if (::fstat(fd, &status) != 0) return refuse(fd, ReadRefusal::cannotRead);
  if (!S_ISREG(status.st_mode)) return refuse(fd, ReadRefusal::notRegularFile);
  if (static_cast<std::uint64_t>(status.st_size) > kReadLimit) {
    return refuse(fd, ReadRefusal::tooLarge);
  }
  Bytes bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return refuse(fd, ReadRefusal::cannotRead);
    // A file that grows past the limit while read counts as too large.
    if (bytes.size() + static_cast<std::size_t>(n) > kReadLimit) {
      return refuse(fd, ReadRefusal::tooLarge);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

bool writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool replaceFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::error_code reason;
  return replaceFile(path, bytes, reason);
}

bool replaceFile(const std::filesystem::path& path, const Bytes& bytes, std::error_code& reason) {
  auto fail = [&reason](int code) {
    reason = std::error_code(code, std::generic_category());
    return false;
  };
  reason.clear();
  std::filesystem::path target = path;
  std::error_code missing;  // a file that does not exist yet is no symbolic link
  if (std::filesystem::is_symlink(target, missing)) {
    target = std::filesystem::weakly_canonical(target, reason);
    if (reason) return false;
  }
  struct stat old {};
  bool hadOld = ::stat(target.c_str(), &old) == 0;
  if (hadOld && !S_ISREG(old.st_mode)) return fail(S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
  // A rename needs only the folder's permission; a read-only file is kept as writing into
  // it would keep it. With no write bit at all it stays even for root, who may write anything.
  if (hadOld && ::access(target.c_str(), W_OK) != 0) return fail(errno);
  if (hadOld && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return fail(EACCES);

  std::string temporary;
  int fd = createTemporary(target, temporary);
  if (fd < 0) return fail(errno);
  if (hadOld) ::fchmod(fd, old.st_mode & 07777);  // best effort: the content matters more
  errno = 0;
  bool written = writeAll(fd, bytes) && ::fdatasync(fd) == 0;
  int writeError = errno != 0 ? errno : EIO;
  if (::close(fd) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    int error = written ? errno : writeError;
    ::unlink(temporary.c_str());
    return fail(error);
  }
  syncDirectory(target.parent_path());
  return true;
}

bool directoryWritable(const std::filesystem::path& path) {
  std::string native = path;
  return directoryExists(path) && ::access(native.c_str(), W_OK | X_OK) == 0;
}

bool makeDirectories(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return directoryExists(path);
}

}  // namespace quenbo
