// Keeps the main window's size, position, maximised state and current tab in the settings
// file: puts the window where it was before it is first shown, and stores where it is once a
// move or resize has settled and when the window closes. (The loader makes the tab current.)
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <optional>

#include "settings/settings_store.h"

namespace quenbo::qt {

class WindowView;

class PlacementKeeper final : public QObject {
 public:
  // GUI thread, before the window is shown. Both must outlive the keeper.
  PlacementKeeper(WindowView& window, settings::SettingsStore& settings);

  // How long a move or resize must rest before it is written: a drag writes once.
  static constexpr int kSettleMs = 400;

  // Writes the placement now (nothing before the settings are loaded).
  void save();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void restore();
  void noteNormal();

  WindowView& window_;
  settings::SettingsStore& settings_;
  QTimer settle_;
  // The last place and size in the normal state: what a maximised window returns to.
  QPoint normalPos_;
  QSize normalSize_;
  std::optional<settings::WindowPlacement> stored_;  // what the file holds, as far as known
};

}  // namespace quenbo::qt
