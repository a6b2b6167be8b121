#include "qt/placement_keeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "forms/main_window_names.h"
#include "qt/window_view.h"

namespace quenbo::qt {

PlacementKeeper::PlacementKeeper(WindowView& window, settings::SettingsStore& settings)
    : window_(window), settings_(settings) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] { save(); });
  restore();
  noteNormal();
  window_.installEventFilter(this);
}

void PlacementKeeper::restore() {
  std::optional<settings::WindowPlacement> stored = settings_.placement();
  stored_ = stored;
  if (!stored) return;
  QSize size = QSize(stored->width, stored->height).expandedTo(window_.minimumSize());
  QPoint pos(stored->left, stored->top);
  // A screen that is gone since (a second monitor unplugged) must not keep the window out
  // of sight: its title bar goes back onto the nearest screen.
  if (QScreen* screen = QGuiApplication::screenAt(pos + QPoint(40, 10)); !screen) {
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
      QRect area = primary->availableGeometry();
      pos.setX(std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() - 100)));
      pos.setY(std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() - 40)));
    }
  }
  window_.resize(size);
  window_.move(pos);
  // A hidden window takes the state when it is shown.
  if (stored->maximised) window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
}

void PlacementKeeper::noteNormal() {
  if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
    return;
  }
  normalPos_ = window_.pos();
  normalSize_ = window_.size();
}

void PlacementKeeper::save() {
  settle_.stop();
  settings::WindowPlacement p;
  p.left = normalPos_.x();
  p.top = normalPos_.y();
  p.width = normalSize_.width();
  p.height = normalSize_.height();
  p.maximised = window_.isMaximized();
  p.tab = window_.model().currentTab(forms::names::高级选择夹1);
  if (p == stored_) return;
  // A failed write is not shown, as with every setting.
  if (settings_.writePlacement(p)) stored_ = p;
}

bool PlacementKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
      if (!window_.isVisible()) break;
      noteNormal();
      settle_.start();
      break;
    case QEvent::Hide:
      save();  // the tab may have changed since
      break;
    default:
      break;
  }
  return false;
}

}  // namespace quenbo::qt
