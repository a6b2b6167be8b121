// What the user does, turned into the window model's events.
#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>
#include <QWheelEvent>

#include "qt/component_widgets.h"
#include "qt/key_codes.h"
#include "qt/qt_text.h"
#include "qt/report_table_model.h"
#include "qt/window_view.h"

namespace quenbo::qt {

using window::ComponentKind;
using window::Event;
using window::EventKind;

namespace {

Event eventOf(std::string_view component, EventKind kind, int index = -1) {
  Event event;
  event.component = std::string(component);
  event.kind = kind;
  event.index = index;
  return event;
}

}  // namespace

void WindowView::connectInput(Part& part) {
  // Handles view the template's names, which outlive the view.
  const std::string& name = part.layout->name;
  if (part.timer) {
    connect(part.timer, &QTimer::timeout, this,
            [this, name] { model_.fire(eventOf(name, EventKind::TimerTick)); });
    return;
  }
  QWidget* w = part.widget;
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    // The model toggles on a click; the box then shows the model's state.
    connect(box, &QCheckBox::clicked, this, [this, box, id = window::CheckBoxId{name}] {
      model_.click(id);
      box->setChecked(model_.checked(id));
    });
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    connect(button, &QAbstractButton::clicked, this,
            [this, id = window::ButtonId{name}] { model_.click(id); });
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    connect(line, &QLineEdit::textEdited, this,
            [this, id = window::EditBoxId{name}](const QString& text) {
              model_.userSetText(id, toText(text));
            });
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
    connect(box, &QPlainTextEdit::textChanged, this, [this, box, id = window::EditBoxId{name}] {
      if (!applying_) model_.userSetText(id, fromDisplayLines(box->toPlainText()));
    });
  } else if (auto* tabs = dynamic_cast<TabControl*>(w)) {
    connect(tabs->tabBar(), &QTabBar::currentChanged, this,
            [this, tabs, id = window::TabControlId{name}](int index) {
      if (applying_ || index < 0) return;
      tabs->showPage(index);
      model_.setCurrentTab(id, index);
    });
  } else if (auto* view = qobject_cast<QTreeView*>(w)) {
    connectReportList(part, *view);
  }
}

void WindowView::connectReportList(Part& part, QTreeView& view) {
  const window::ReportListId name{part.layout->name};
  connect(view.header(), &QHeaderView::sectionClicked, this, [this, name](int column) {
    model_.fire(eventOf(name, EventKind::HeaderClicked, column));
  });
  connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, &view, name] {
    if (applying_) return;  // a reset by the system, not a choice of the user
    QModelIndexList rows = view.selectionModel()->selectedRows();
    model_.selectRow(name, rows.isEmpty() ? -1 : rows.first().row());
  });
  connect(&view, &QTreeView::doubleClicked, this, [this, name](const QModelIndex& index) {
    model_.selectRow(name, index.row());
    model_.fire(eventOf(name, EventKind::DoubleClicked, index.row()));
  });
  connect(&view, &QWidget::customContextMenuRequested, this, [this, &view, name](const QPoint& at) {
    // A right click selects the row under the mouse first, as a left click would.
    QModelIndex index = view.indexAt(at);
    if (index.isValid()) view.setCurrentIndex(index);
    model_.fire(eventOf(name, EventKind::RightClicked, index.isValid() ? index.row() : -1));
  });
}

bool WindowView::eventFilter(QObject* watched, QEvent* event) {
  auto it = partOfWidget_.find(watched);
  if (it == partOfWidget_.end()) return QWidget::eventFilter(watched, event);
  const Part& part = *it->second;
  switch (part.layout->kind) {
    case ComponentKind::EditBox:
      return filterKey(part, event);
    case ComponentKind::Label:
    case ComponentKind::TransparentLabel:
    case ComponentKind::HyperlinkLabel:
    case ComponentKind::PictureBox:
      return filterMouse(part, event);
    default:
      return false;
  }
}

bool WindowView::filterKey(const Part& part, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  if (int code = keyCodeOf(*static_cast<QKeyEvent*>(event))) {
    Event pressed = eventOf(part.layout->name, EventKind::KeyPressed);
    pressed.key = code;
    model_.fire(pressed);
  }
  return false;  // the box still handles the key
}

bool WindowView::filterMouse(const Part& part, QEvent* event) {
  const std::string& name = part.layout->name;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
      model_.fire(eventOf(name, EventKind::MouseDown));
      return true;  // the press belongs to this component, not to its container
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      if (!part.widget->rect().contains(mouse->position().toPoint())) return true;
      if (part.layout->kind == ComponentKind::PictureBox) {
        model_.click(window::PictureBoxId{name});
      } else {
        model_.click(window::LabelId{name});
      }
      return true;
    }
    case QEvent::Wheel:
      model_.fire(
          eventOf(name, EventKind::Wheel, static_cast<QWheelEvent*>(event)->angleDelta().y()));
      return true;
    default:
      return false;
  }
}

}  // namespace quenbo::qt
