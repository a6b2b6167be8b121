#include "ui/header_clicks.h"

#include "core/result_store.h"

namespace quenbo::ui {

HeaderAction headerAction(int column) {
  switch (column) {
    case 0:
      return HeaderAction::arrivalOrder;
    case 4:
      return HeaderAction::sortBySize;
    case 5:
      return HeaderAction::sortByHeat;
    default:
      return HeaderAction::none;
  }
}

void headerClicked(int column, window::WindowModel& window, core::ResultStore& store) {
  switch (headerAction(column)) {
    case HeaderAction::arrivalOrder:
      store.rebuild();
      break;
    case HeaderAction::sortBySize:
      sortRows(window, store, SortKey::size);
      break;
    case HeaderAction::sortByHeat:
      sortRows(window, store, SortKey::heat);
      break;
    case HeaderAction::none:
      break;
  }
}

}  // namespace quenbo::ui
