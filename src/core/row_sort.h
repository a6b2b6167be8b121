// Sorting the result list by file size or by popularity, largest first. The order is that of
// one particular Shell sort, equal keys included: users see the same order for the same list.
#pragma once

#include <string_view>
#include <vector>

namespace quenbo::core {

enum class SortKey { size, heat };

// A "File Size" cell as a number of bytes: the number in front of the first unit found of
// "GB", "MB" and "KB" (looked for in that order, in any case), rounded to two decimals and
// kept in single precision. 0 without one of those units ("3 TB" included).
double sizeSortKey(std::string_view cell);
// A "Heat" cell as a number; 0 when it is none.
double heatSortKey(std::string_view cell);

// Which record goes to each position, largest key first: a Shell sort over positions 1 to n
// with the gaps 1, 4, 13, 40, ... (the first one above n, then (gap - 1) / 3 after each
// pass). A record moves forward past one only when its key is larger by more than 1e-7, so
// keys that close never trade places in one step.
std::vector<int> shellSortOrder(const std::vector<double>& keys);

}  // namespace quenbo::core
