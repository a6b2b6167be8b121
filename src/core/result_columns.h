// The result list's columns, defined once: the window's list, its header clicks, sorting,
// the text export, the TSV and JSON output and copying all read a row through this table.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "core/search_events.h"

namespace quenbo::core {

enum class Column { number, title, magnet, site, size, heat, date };

struct ColumnInfo {
  Column column;
  std::string_view caption;  // the list's header (ASCII, so GBK as it stands)
  int width;                 // the list's column width in pixels
  std::string_view field;    // the member name in JSON output; empty for the number
  Text ResultRow::*member;   // the row's text; null for the number
};

inline constexpr std::array<ColumnInfo, 7> kColumns{{
    {Column::number, "ID", 50, "", nullptr},
    {Column::title, "Name", 280, "title", &ResultRow::title},
    {Column::magnet, "Magnet", 280, "magnet", &ResultRow::magnet},
    {Column::site, "Web", 100, "site", &ResultRow::site},
    {Column::size, "File Size", 100, "size", &ResultRow::size},
    {Column::heat, "Heat", 100, "popularity", &ResultRow::heat},
    {Column::date, "Creation time", 200, "date", &ResultRow::date},
}};

inline constexpr int kColumnCount = static_cast<int>(kColumns.size());

constexpr int columnIndex(Column column) { return static_cast<int>(column); }

// The column at a list index; none past the last.
constexpr const ColumnInfo* columnAt(int index) {
  return index >= 0 && index < kColumnCount ? &kColumns[static_cast<std::size_t>(index)] : nullptr;
}

// The text of one cell of the row listed at `index` (from 0): its number from 1 for the
// number column.
Text cellText(const ResultRow& row, int index, Column column);

// Every cell of that row, in column order.
std::vector<Text> rowCells(const ResultRow& row, int index);

static_assert([] {
  for (int i = 0; i < kColumnCount; ++i) {
    if (columnIndex(kColumns[static_cast<std::size_t>(i)].column) != i) return false;
  }
  return true;
}());

}  // namespace quenbo::core
