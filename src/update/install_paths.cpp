#include "update/install_paths.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string_view>

#include "base/encoding.h"
#include "base/files.h"
#include "update/update_rows.h"

namespace quenbo::update {

std::optional<std::filesystem::path> installedPath(const std::filesystem::path& installDirectory,
                                                  const Text& pathName) {
  std::string_view rest = pathName;
  if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  if (rest.empty() || rest.find('\\') != std::string_view::npos ||
      rest.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  std::filesystem::path path = installDirectory;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    bool last = slash == std::string_view::npos;
    if (part.empty() || part == "." || part == ".." || part.find(':') != std::string_view::npos) {
      return std::nullopt;
    }
    path /= std::filesystem::path(gbkToUtf8(part));
    if (last) break;
    // A parent that is a link could point anywhere.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      return std::nullopt;
    }
    if (rest.empty()) return std::nullopt;  // a trailing "/": no file name
  }
  return path;
}

bool selfUpdateAllowed(const std::filesystem::path& installDirectory) {
  std::string native = installDirectory.lexically_normal().string();
  if (native.size() > 1 && native.back() == '/') native.pop_back();
  if (native == "/usr" || (native.starts_with("/usr/") && !native.starts_with("/usr/local/") &&
                           native != "/usr/local")) {
    return false;
  }
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0 || (info.st_mode & 0222) == 0) return false;
  return directoryWritable(installDirectory);
}

void deleteUpdateLeftover(const std::filesystem::path& installDirectory) {
  std::filesystem::path leftover = installDirectory / temporaryMainProgramName();
  if (fileExists(leftover)) (void)deleteFile(leftover);
}

Text replaceObstacle(const std::filesystem::path& target, std::uintmax_t size, uid_t user) {
  std::filesystem::path folder = target.parent_path();
  struct stat dir {};
  struct stat file {};
  if (::stat(folder.c_str(), &dir) != 0 || !directoryWritable(folder)) {
    return "目录 "_gbk + displayPath(folder) + " 不可写"_gbk;
  }
  // In a sticky folder only root, the folder's owner and the file's own may rename it.
  if ((dir.st_mode & S_ISVTX) != 0 && user != 0 && dir.st_uid != user &&
      ::stat(target.c_str(), &file) == 0 && file.st_uid != user) {
    return displayPath(target) + " 属于其他用户，所在目录只许文件的主人改名"_gbk;
  }
  struct statvfs disk {};
  if (::statvfs(folder.c_str(), &disk) == 0 &&
      static_cast<std::uintmax_t>(disk.f_bavail) * disk.f_frsize < size) {
    return "磁盘空间不足，复制新的主程序需要 "_gbk + std::to_string(size) + " 字节"_gbk;
  }
  return {};
}

std::filesystem::path replaceFailureMark(const std::filesystem::path& installDirectory) {
  return installDirectory / ".quenbo-replace-failed";
}

std::optional<Text> takeReplaceFailure(const std::filesystem::path& installDirectory) {
  std::filesystem::path mark = replaceFailureMark(installDirectory);
  std::optional<Bytes> target = readFile(mark);
  if (!target) return std::nullopt;
  (void)deleteFile(mark);
  while (!target->empty() && target->back() == '\n') target->pop_back();
  return "上次更新未能替换程序文件 "_gbk + displayPath(std::filesystem::path(*target)) +
         "，程序仍是旧版本。请检查该目录的权限和磁盘空间，然后再次更新。"_gbk;
}

}  // namespace quenbo::update
