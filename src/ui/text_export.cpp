#include "ui/text_export.h"

#include "base/encoding.h"
#include "base/files.h"
#include "core/result_columns.h"
#include "ui/result_source.h"
#include "window/interactions.h"

namespace quenbo::ui {

namespace {

constexpr std::string_view kFieldSeparator = "&&";

// A field as a line holds it: a site's title can never start a line or a field of its own.
// CR and LF become blanks, a run of "&" one "&", and a field does not end in "&", which
// would join the separator after it ("a&" "&&" "b" reads as "a" and "&b").
void appendField(Bytes& out, std::string_view field) {
  std::size_t start = out.size();
  for (char c : field) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == '&' && out.size() > start && out.back() == '&') continue;
    out += c;
  }
  if (out.size() > start && out.back() == '&') out.pop_back();
}

}  // namespace

Bytes exportBytes(const std::vector<core::ResultRow>& rows) {
  Bytes out;
  for (const core::ResultRow& row : rows) {
    bool first = true;
    for (const core::ColumnInfo& column : core::kColumns) {
      if (!column.member) continue;  // the row number is not exported
      if (!first) out += kFieldSeparator;
      appendField(out, row.*column.member);
      first = false;
    }
    out += "\r\n";
  }
  return out;
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

void exportText(window::Interactions& interactions, const ResultSource& results) {
  Bytes text = exportBytes(results.rows());
  std::optional<std::filesystem::path> chosen =
      interactions.saveFileDialog("文本文件（*.txt）"_gbk);
  if (!chosen) return;
  std::filesystem::path file = exportFilePath(*chosen);
  // The dialog asked about the name as chosen; the file with ".txt" added is asked about
  // here, before it is replaced.
  if (file != *chosen && fileExists(file) &&
      interactions.messageBox(displayPath(file) + " 已存在。\r\n要替换它吗？"_gbk,
                              window::defaultMessageTitle(), window::MessageButtons::YesNo,
                              window::MessageIcon::Information) != window::MessageAnswer::Yes) {
    return;
  }
  if (std::error_code reason = writeExport(file, text)) {
    // The path is shown, not used: GBK stands in "?" for what it cannot hold.
    interactions.messageBox(
        "数据导出失败："_gbk + displayPath(file) + "\r\n" + utf8ToGbk(reason.message()),
        window::defaultMessageTitle(), window::MessageButtons::Ok, window::MessageIcon::Error);
  }
}

}  // namespace quenbo::ui
