#include "app/result_output.h"

#include <array>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "base/encoding.h"

namespace quenbo::app {
namespace {

// Columns after the row number, and their names in JSON.
constexpr std::array<const char*, 6> kFieldNames = {"title", "magnet", "site",
                                                    "size",  "popularity", "date"};

std::string field(const window::Row& row, std::size_t column) {
  return column < row.size() ? gbkToUtf8(row[column]) : std::string{};
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
    for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
      if (i > 0) out << '\t';
      out << withoutControls(field(row, i + 1));
    }
    out << '\n';
  }
}

void writeJson(std::ostream& out, const ListedRows& rows) {
  auto array = nlohmann::ordered_json::array();
  for (const auto& row : rows) {
    nlohmann::ordered_json hit;
    for (std::size_t i = 0; i < kFieldNames.size(); ++i) hit[kFieldNames[i]] = field(row, i + 1);
    array.push_back(std::move(hit));
  }
  out << array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace quenbo::app
