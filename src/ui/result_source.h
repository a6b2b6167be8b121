// What the result list's actions (sort, rebuild, export) ask of the search the window shows.
// The search presenter is one; a test gives a store of its own.
#pragma once

#include <vector>

#include "core/row_sort.h"
#include "core/search_events.h"

namespace quenbo::ui {

class ResultSource {
 public:
  virtual ~ResultSource() = default;
  // Lists the stored hits again, in arrival order, under the filter the controls hold now.
  virtual void rebuild() = 0;
  // Orders the listed rows, largest first; later hits go below them.
  virtual void sort(core::SortKey key) = 0;
  // The listed rows in list order, read at once under the result lock.
  virtual std::vector<core::ResultRow> rows() const = 0;
};

}  // namespace quenbo::ui
