#include "ui/result_list_handlers.h"

#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "ui/header_clicks.h"
#include "ui/link_actions.h"
#include "ui/result_source.h"
#include "ui/text_export.h"
#include "window/interactions.h"
#include "window/window_model.h"

namespace quenbo::ui {

using namespace forms::names;
using window::Event;
using window::EventKind;

namespace {

void menuChosen(const std::string& item, window::WindowModel& w, window::Interactions& ui,
                ResultSource& results) {
  if (item == 迅雷下载) {
    openMagnet(w, ui);
  } else if (item == 复制链接) {
    copyMagnet(w, ui);
  } else if (item == 文件大小) {
    results.sort(core::SortKey::size);
  } else if (item == 资源热度) {
    results.sort(core::SortKey::heat);
  } else if (item == 默认顺序) {
    results.rebuild();
  } else if (item == TXT文本) {
    exportText(ui, results);
  } else if (item == 时间日期 || item == Excel表格 || item == Access数据库) {
    ui.messageBox("此项功能暂未完成"_gbk, window::defaultMessageTitle(), window::MessageButtons::Ok,
                  window::MessageIcon::None);
  }
}

}  // namespace

void bindResultListHandlers(window::WindowModel& window, window::Interactions& interactions,
                            ResultSource& results) {
  auto& w = window;
  auto& ui = interactions;
  const auto list = 超级列表框_磁力链接;
  w.on(list, EventKind::RightClicked, [&w, &ui, list](const Event&) {
    if (w.selectedRow(list) < 0) return;
    const window::MenuTemplate* menu = w.layout().findMenu(std::string(磁力菜单));
    if (menu == nullptr) return;
    if (std::optional<std::string> item = ui.popupMenu(*menu)) {
      Event chosen;
      chosen.component = std::string(磁力菜单);
      chosen.kind = EventKind::MenuChosen;
      chosen.item = *item;
      w.fire(chosen);
    }
  });
  w.on(list, EventKind::DoubleClicked, [&w, &ui, list](const Event&) {
    if (w.selectedRow(list) >= 0) openMagnet(w, ui);
  });
  // Enter opens the current row as a double click does; Ctrl+C copies the selected rows.
  w.on(list, EventKind::KeyPressed, [&w, &ui, list](const Event& e) {
    if (e.key == 13 && !e.control && w.selectedRow(list) >= 0) openMagnet(w, ui);
    if (e.key == 'C' && e.control) copyMagnet(w, ui);
  });
  w.on(list, EventKind::HeaderClicked,
       [&results](const Event& e) { headerClicked(e.index, results); });
  w.on(磁力菜单, EventKind::MenuChosen,
       [&w, &ui, &results](const Event& e) { menuChosen(e.item, w, ui, results); });
}

}  // namespace quenbo::ui
