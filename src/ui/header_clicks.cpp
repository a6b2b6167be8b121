#include "ui/header_clicks.h"


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

void headerClicked(int column, ResultSource& results) {
  switch (headerAction(column)) {
    case HeaderAction::arrivalOrder:
      results.rebuild();
      break;
    case HeaderAction::sortBySize:
      results.sort(core::SortKey::size);
      break;
    case HeaderAction::sortByHeat:
      results.sort(core::SortKey::heat);
      break;
    case HeaderAction::none:
      break;
  }
}

}  // namespace quenbo::ui
