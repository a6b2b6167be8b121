#include "core/result_columns.h"

#include "base/numbers.h"

namespace quenbo::core {

Text cellText(const ResultRow& row, int index, Column column) {
  const ColumnInfo& info = kColumns[static_cast<std::size_t>(columnIndex(column))];
  return info.member ? row.*info.member : integerToText(index + 1);
}

std::vector<Text> rowCells(const ResultRow& row, int index) {
  std::vector<Text> cells;
  cells.reserve(kColumns.size());
  for (const ColumnInfo& info : kColumns) cells.push_back(cellText(row, index, info.column));
  return cells;
}

}  // namespace quenbo::core
