#include "app/result_output.h"

#include <array>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "base/encoding.h"
#include "core/result_columns.h"

namespace quenbo::app {
namespace {

// Every column but the row number, in list order.
template <typename Write>
void forEachField(const core::ResultRow& row, Write write) {
  for (const core::ColumnInfo& column : core::kColumns) {
    if (column.member) write(column, gbkToUtf8(row.*column.member));
  }
}

}  // namespace

std::string withoutControls(const std::string& utf8) {
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
    if (byte < 0x20 || byte == 0x7F) {
      text += ' ';
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      text += ' ';
      ++i;
    } else {
      text += static_cast<char>(byte);
    }
  }
  return text;
}

void writeTsv(std::ostream& out, const ListedRows& rows) {
  for (const auto& row : rows) {
    bool first = true;
    forEachField(row, [&](const core::ColumnInfo&, const std::string& text) {
      if (!first) out << '\t';
      out << withoutControls(text);
      first = false;
    });
    out << '\n';
  }
}

void writeJson(std::ostream& out, const ListedRows& rows) {
  auto array = nlohmann::ordered_json::array();
  for (const auto& row : rows) {
    nlohmann::ordered_json hit;
    forEachField(row, [&](const core::ColumnInfo& column, std::string text) {
      hit[std::string(column.field)] = std::move(text);
    });
    array.push_back(std::move(hit));
  }
  out << array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace quenbo::app
