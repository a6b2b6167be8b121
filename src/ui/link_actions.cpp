#include "ui/link_actions.h"

#include <optional>
#include <vector>

#include "forms/main_window_names.h"
#include "window/interactions.h"
#include "window/window_model.h"

namespace quenbo::ui {

using namespace forms::names;

namespace {

constexpr int kMagnetColumn = 2;

std::optional<Text> selectedMagnet(const window::WindowModel& window) {
  int row = window.selectedRow(超级列表框_磁力链接);
  if (row < 0) return std::nullopt;
  return window.cell(超级列表框_磁力链接, row, kMagnetColumn);
}

}  // namespace

bool isMagnetLink(const Text& text) {
  return text.starts_with("magnet:?");
}

bool isWebLink(const Text& text) {
  return text.starts_with("http://") || text.starts_with("https://");
}

void openMagnet(const window::WindowModel& window, window::Interactions& interactions) {
  std::optional<Text> magnet = selectedMagnet(window);
  if (magnet && isMagnetLink(*magnet)) interactions.openUrl(*magnet);
}

void copyMagnet(const window::WindowModel& window, window::Interactions& interactions) {
  std::vector<int> rows = window.selectedRows(超级列表框_磁力链接);
  if (rows.empty()) return;
  Text links;
  for (int row : rows) {
    if (!links.empty()) links += '\n';  // the desktop's clipboard ends lines with LF
    links += window.cell(超级列表框_磁力链接, row, kMagnetColumn);
  }
  interactions.setClipboardText(links);
}

}  // namespace quenbo::ui
