#include "update/update_rows.h"

#include <string>

#include "base/encoding.h"
#include "base/files.h"
#include "base/text_search.h"
#include "script/text_codec.h"
#include "update/install_paths.h"

namespace quenbo::update {

std::filesystem::path temporaryMainProgramName() { return u8"临时主程序"; }
Text mainProgramKind() { return "主程序"_gbk; }
Text missingFileText() { return "文件不存在"_gbk; }
Text succeededText() { return "成功"_gbk; }
Text failedText() { return "失败"_gbk; }

Text fileNameOf(const Text& path) {
  std::size_t slash = path.rfind('/');
  return slash == Text::npos ? path : path.substr(slash + 1);
}

std::vector<FileRow> dueRows(const std::vector<UpdateFile>& files,
                                 const std::filesystem::path& installDirectory,
                                 const Text& ownDigest,
                                 const std::filesystem::path& executableName) {
  std::vector<FileRow> rows;
  for (const UpdateFile& file : files) {
    Text local, status, kind;
    bool self = findText(file.pathName, kSoftwareName) != -1 ||
                (!executableName.empty() &&
                 gbkToUtf8(fileNameOf(file.pathName)) == executableName.string());
    if (self) {
      if (file.md5 == ownDigest) continue;
      local = ownDigest;
      kind = mainProgramKind();
    } else if (std::optional<std::filesystem::path> path = installedPath(installDirectory, file.pathName)) {
      if (fileExists(*path)) {
        local = script::TextCodec::fileMd5(*path);
        if (local == file.md5) continue;
      } else {
        local = missingFileText();
      }
    } else {
      status = failedText();  // refused: it would leave the installation directory
    }
    rows.push_back({std::to_string(rows.size() + 1), file.pathName, file.md5, local, status, kind,
                    file.url});
  }
  return rows;
}

}  // namespace quenbo::update
