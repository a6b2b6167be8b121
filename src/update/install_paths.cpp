#include "update/install_paths.h"

#include <sys/stat.h>

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

}  // namespace quenbo::update
