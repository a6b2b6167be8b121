#include "ui/row_sort.h"

#include <cmath>
#include <numeric>

#include "base/numbers.h"
#include "base/text_search.h"
#include "core/result_store.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"

namespace quenbo::ui {

using namespace window::names;

namespace {

constexpr int kSizeColumn = 4, kHeatColumn = 5;
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

void sortRows(window::WindowModel& window, core::ResultStore& store, SortKey key) {
  const auto list = 超级列表框_磁力链接;
  window.lockUpdates(list, true);
  store.runLocked([&] {
    const int n = window.rowCount(list);
    std::vector<double> keys(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) {
      keys[static_cast<std::size_t>(r)] = key == SortKey::size
                                              ? sizeSortKey(window.cell(list, r, kSizeColumn))
                                              : heatSortKey(window.cell(list, r, kHeatColumn));
    }
    // Column 0 numbers the rows from the top and is not rewritten.
    window.reorderRows(list, shellSortOrder(keys), 1);
  });
  window.lockUpdates(list, false);
}

}  // namespace quenbo::ui
