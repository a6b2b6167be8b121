// The main window's keyboard shortcuts, reported to the model as key events of the window
// itself: Esc (27), and Ctrl+L and Ctrl+F ('L', 'F' with Ctrl). What they do is bound by the
// application.
#pragma once

#include <QObject>

namespace quenbo::qt {

class WindowView;

class MainWindowKeys final : public QObject {
 public:
  // GUI thread; the view must outlive the keys.
  explicit MainWindowKeys(WindowView& view);
};

}  // namespace quenbo::qt
