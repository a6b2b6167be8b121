// What the user does, turned into the window model's events.
#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>
#include <QWheelEvent>

#include "base/encoding.h"
#include "qt/component_widgets.h"
#include "qt/key_codes.h"
#include "qt/qt_text.h"
#include "qt/report_table_model.h"
#include "qt/window_view.h"
#include "window/interactions.h"

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

// A line edit takes only what GBK holds: the program keeps its texts in GBK, and a character
// it cannot hold would be searched for as "?". The box keeps the text it had and says why.
void refuseOutsideGbk(QLineEdit& line, const Text& kept, const std::string& outside) {
  line.setText(toQString(kept));
  QMessageBox box(QMessageBox::Warning, toQString(window::defaultMessageTitle()),
                  QString::fromUtf8("“%1”无法输入：本程序的文字都以 GBK 保存，GBK 里没有这些字符，"
                                    "用它们搜索只会变成“?”。\n请删去它们，或换用 GBK 能表示的写法。")
                      .arg(QString::fromUtf8(outside.data(), static_cast<qsizetype>(outside.size()))),
                  QMessageBox::Ok, line.window());
  box.exec();
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
            [this, line, id = window::EditBoxId{name}](const QString& text) {
              const QByteArray utf8 = text.toUtf8();
              const std::string outside =
                  outsideGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
              if (!outside.empty()) {
                refuseOutsideGbk(*line, model_.text(id), outside);
                return;
              }
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

// The view's selection, told to the model with `current` as its current row (-1: the
// view's current row).
void WindowView::syncSelection(QTreeView& view, const window::ReportListId& name, int current) {
  std::vector<int> rows;
  for (const QModelIndex& index : view.selectionModel()->selectedRows()) rows.push_back(index.row());
  if (current < 0) current = view.currentIndex().row();
  model_.selectRows(name, std::move(rows), current);
}

void WindowView::connectReportList(Part& part, QTreeView& view) {
  const window::ReportListId name{part.layout->name};
  connect(view.header(), &QHeaderView::sectionClicked, this, [this, name](int column) {
    model_.fire(eventOf(name, EventKind::HeaderClicked, column));
  });
  auto selectionMoved = [this, &view, name] {
    if (applying_) return;  // a reset by the system, not a choice of the user
    syncSelection(view, name);
  };
  connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionMoved);
  connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this, selectionMoved);
  connect(&view, &QTreeView::doubleClicked, this, [this, &view, name](const QModelIndex& index) {
    syncSelection(view, name, index.row());
    model_.fire(eventOf(name, EventKind::DoubleClicked, index.row()));
  });
  connect(&view, &QWidget::customContextMenuRequested, this, [this, &view, name](const QPoint& at) {
    // A right click selects the row under the mouse first, as a left click would, unless
    // it is one of several selected rows: those stay selected.
    QModelIndex index = view.indexAt(at);
    if (index.isValid()) {
      if (view.selectionModel()->isRowSelected(index.row(), QModelIndex())) {
        view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
      } else {
        view.setCurrentIndex(index);
      }
      syncSelection(view, name, index.row());
    }
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
    case ComponentKind::ReportList:
      return filterListKey(part, event);
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
    pressed.control = static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier;
    model_.fire(pressed);
  }
  return false;  // the box still handles the key
}

bool WindowView::filterListKey(const Part& part, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const bool control = key->modifiers() & Qt::ControlModifier;
  const int code = keyCodeOf(*key);
  // Enter and Ctrl+C are the list's own actions (open, copy the links) rather than the
  // view's (which would copy one cell); other keys move and select as usual.
  if (code != 13 && !(control && code == 'C')) return false;
  Event pressed = eventOf(part.layout->name, EventKind::KeyPressed);
  pressed.key = code;
  pressed.control = control;
  model_.fire(pressed);
  return true;
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
