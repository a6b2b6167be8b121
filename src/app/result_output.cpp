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

void writeTsv(std::ostream& out, const ListedRows& rows) {
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
      std::string text = field(row, i + 1);
      for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
      }
      if (i > 0) out << '\t';
      out << text;
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
