#include "ui/text_export.h"

#include "base/encoding.h"
#include "base/files.h"
#include "core/result_store.h"
#include "forms/main_window_names.h"
#include "window/interactions.h"

namespace quenbo::ui {

using namespace window::names;

Bytes exportBytes(const std::vector<window::Row>& rows) {
  Bytes out;
  for (const window::Row& row : rows) {
    for (std::size_t c = 1; c <= 6; ++c) {
      if (c > 1) out += "&&";
      if (c < row.size()) out += row[c];
    }
    out += "\r\n";
  }
  return out;
}

std::vector<window::Row> resultRows(const window::WindowModel& window, core::ResultStore& store) {
  std::vector<window::Row> rows;
  store.runLocked([&] {
    int n = window.rowCount(超级列表框_磁力链接);
    rows.reserve(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) rows.push_back(window.row(超级列表框_磁力链接, r));
  });
  return rows;
}

std::filesystem::path exportFilePath(const std::filesystem::path& chosen) {
  std::string name = chosen.filename().string();
  if (name.size() >= 4 && lowerAscii(std::string_view(name).substr(name.size() - 4)) == ".txt") {
    return chosen;
  }
  std::filesystem::path file = chosen;
  file += ".txt";
  return file;
}

std::error_code writeExport(const std::filesystem::path& file, const Bytes& bytes) {
  std::error_code reason;
  if (replaceFile(file, bytes, reason)) return {};
  return reason ? reason : std::make_error_code(std::errc::io_error);
}

void exportText(const window::WindowModel& window, window::Interactions& interactions,
                core::ResultStore& store) {
  Bytes text = exportBytes(resultRows(window, store));
  std::optional<std::filesystem::path> chosen =
      interactions.saveFileDialog("文本文件（*.txt）"_gbk);
  if (!chosen) return;
  std::filesystem::path file = exportFilePath(*chosen);
  if (std::error_code reason = writeExport(file, text)) {
    // The path is shown, not used: GBK stands in "?" for what it cannot hold.
    interactions.messageBox(
        "数据导出失败："_gbk + displayPath(file) + "\r\n" + utf8ToGbk(reason.message()),
        window::defaultMessageTitle(), window::MessageButtons::Ok, window::MessageIcon::Error);
  }
}

}  // namespace quenbo::ui
