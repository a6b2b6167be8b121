#include "core/row_sort.h"

#include <cmath>
#include <numeric>

#include "base/numbers.h"
#include "base/text_search.h"

namespace quenbo::core {

namespace {

constexpr double kTolerance = 1e-7;

}  // namespace

double sizeSortKey(std::string_view cell) {
  int exponent = 0;
  if (findText(cell, "GB", 1, true) != -1) {
    exponent = 3;
  } else if (findText(cell, "MB", 1, true) != -1) {
    exponent = 2;
  } else if (findText(cell, "KB", 1, true) != -1) {
    exponent = 1;
  } else {
    return 0;
  }
  double bytes = textToNumber(cell) * std::pow(1024.0, exponent);
  return static_cast<float>(std::round(bytes * 100) / 100);
}

double heatSortKey(std::string_view cell) {
  return textToNumber(cell);
}

std::vector<int> shellSortOrder(const std::vector<double>& keys) {
  const int n = static_cast<int>(keys.size());
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  int gap = 1;
  while (gap <= n) gap = gap * 3 + 1;
  // Positions are 1-based as the rule states them: position p lives at order[p - 1].
  for (; gap > 0; gap = (gap - 1) / 3) {
    for (int j = gap; j <= n; ++j) {
      int moving = order[j - 1];
      double key = keys[moving];
      int p = j;
      while (p - gap >= 1 && key - keys[order[p - gap - 1]] > kTolerance) {
        order[p - 1] = order[p - gap - 1];
        p -= gap;
      }
      order[p - 1] = moving;
    }
  }
  return order;
}

}  // namespace quenbo::core
