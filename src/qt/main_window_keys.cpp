#include "qt/main_window_keys.h"

#include <QKeySequence>
#include <QShortcut>
#include <string>

#include "qt/window_view.h"
#include "window/events.h"

namespace quenbo::qt {

MainWindowKeys::MainWindowKeys(WindowView& view) {
  struct Key {
    QKeySequence sequence;
    int code;
    bool control;
  };
  const Key keys[] = {{QKeySequence(Qt::Key_Escape), 27, false},
                      {QKeySequence(Qt::CTRL | Qt::Key_L), 'L', true},
                      {QKeySequence(Qt::CTRL | Qt::Key_F), 'F', true}};
  for (const Key& key : keys) {
    // Owned by the view: a shortcut acts while the window is the active one.
    auto* shortcut = new QShortcut(key.sequence, &view);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [&view, key] {
      window::Event pressed;
      pressed.component = view.model().layout().name;
      pressed.kind = window::EventKind::KeyPressed;
      pressed.key = key.code;
      pressed.control = key.control;
      view.model().fire(pressed);
    });
  }
}

}  // namespace quenbo::qt
