// What a click on a column header of the result list does: "ID" lists the stored hits again
// in arrival order, "File Size" and "Heat" sort, every other column does nothing.
#pragma once

#include "ui/result_source.h"

namespace quenbo::ui {

enum class HeaderAction { none, arrivalOrder, sortBySize, sortByHeat };

HeaderAction headerAction(int column);

// UI thread.
void headerClicked(int column, ResultSource& results);

}  // namespace quenbo::ui
