#include "update_server/release_folder.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "script/text_codec.h"

namespace quenbo::updateserver {

namespace fs = std::filesystem;

namespace {

bool hiddenOrLink(const fs::path& relative, const fs::path& folder) {
  fs::path walked = folder;
  for (const auto& part : relative) {
    std::string name = part.string();
    walked /= part;
    if (name.empty() || name[0] == '.' || fs::is_symlink(walked)) return true;
  }
  return false;
}

}  // namespace

std::vector<ReleaseFile> scanRelease(const fs::path& folder) {
  std::vector<ReleaseFile> files;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file() || it->is_symlink()) continue;
    fs::path relative = fs::relative(it->path(), folder);
    if (hiddenOrLink(relative, folder)) continue;
    std::ifstream in(it->path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    files.push_back({"/" + relative.generic_string(), script::TextCodec::md5Hex(bytes.str())});
  }
  std::sort(files.begin(), files.end(),
            [](const ReleaseFile& a, const ReleaseFile& b) { return a.pathName < b.pathName; });
  return files;
}

std::optional<fs::path> releaseFile(const fs::path& folder, const std::string& pathName) {
  for (const ReleaseFile& file : scanRelease(folder)) {
    if (file.pathName == pathName) return folder / fs::path(pathName.substr(1));
  }
  return std::nullopt;
}

}  // namespace quenbo::updateserver
