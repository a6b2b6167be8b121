#include "qt/window_view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTextCursor>
#include <QTimer>
#include <QTreeView>

#include "qt/component_hint.h"
#include "qt/component_widgets.h"
#include "qt/look.h"
#include "qt/qt_text.h"
#include "qt/report_table_model.h"
#include "qt/stretch_rules.h"
#include "qt/widget_factory.h"

namespace quenbo::qt {

using window::Change;
using window::ChangeKind;
using window::ComponentKind;

namespace {

// The forms' sizes are outer sizes; their frame is 3 pixels wide at the sides and
// the bottom and 26 pixels at the top (title bar included), so the main window's client
// area is 1159 x 496, exactly the width of its status bar and result list.
constexpr int kFrameWidth = 6, kFrameHeight = 29;

// Changes that only need the newest state are kept once per flush.
Change normalised(const Change& change) {
  Change c = change;
  switch (change.kind) {
    case ChangeKind::TextAppended:
      c.kind = ChangeKind::Text;
      break;
    case ChangeKind::RowsAppended:
      c.kind = ChangeKind::RowsReset;
      break;
    case ChangeKind::StatusPart:
    case ChangeKind::TabVisible:
      return c;
    default:
      break;
  }
  c.index = -1;
  return c;
}

}  // namespace

WindowView::WindowView(window::WindowModel& model, QtLoop& loop) : model_(model), loop_(loop) {
  const auto& layout = model_.layout();
  setWindowTitle(toQString(layout.title));
  designedSize_ = QSize(layout.geometry.width - kFrameWidth, layout.geometry.height - kFrameHeight);
  setFixedSize(designedSize_);
  move(layout.geometry.left, layout.geometry.top);
  build();
  // State read after this point is current; anything changed meanwhile is flushed again.
  model_.addObserver(this);
  for (auto& [name, part] : parts_) loadState(part);
  applyWindowVisible();
}

WindowView::~WindowView() {
  model_.removeObserver(this);
  std::lock_guard lock(pendingMutex_);
  alive_.reset();
}

QWidget* WindowView::widget(std::string_view name) const {
  const Part* part = find(name);
  return part ? part->widget : nullptr;
}

ReportTableModel* WindowView::table(std::string_view name) const {
  const Part* part = find(name);
  return part ? part->table : nullptr;
}

QTimer* WindowView::timer(std::string_view name) const {
  const Part* part = find(name);
  return part ? part->timer : nullptr;
}

WindowView::Part* WindowView::find(std::string_view name) {
  auto it = parts_.find(std::string(name));
  return it == parts_.end() ? nullptr : &it->second;
}

const WindowView::Part* WindowView::find(std::string_view name) const {
  auto it = parts_.find(std::string(name));
  return it == parts_.end() ? nullptr : &it->second;
}

// --- building ---

void WindowView::build() {
  // Templates list every container before what it holds.
  for (const auto& component : model_.layout().components) {
    Part& part = parts_[component.name];
    part.layout = &component;
    if (component.kind == ComponentKind::Timer) {
      part.timer = new QTimer(this);
      part.timer->setTimerType(Qt::PreciseTimer);
    }
    QWidget* parent = this;
    if (const Part* owner = find(component.parent); owner && owner->widget) {
      auto* tabs = dynamic_cast<TabControl*>(owner->widget);
      parent = tabs && component.tabPage >= 0 ? tabs->page(component.tabPage) : owner->widget;
    }
    part.widget = createComponentWidget(component, model_, parent);
    if (auto* view = dynamic_cast<QTreeView*>(part.widget)) {
      part.table = dynamic_cast<ReportTableModel*>(view->model());
    }
    if (part.widget) {
      partOfWidget_[part.widget] = &part;
      part.widget->installEventFilter(this);
      place(part);
    }
    connectInput(part);
  }
}

void WindowView::setResizable(bool resizable) {
  if (resizable) {
    setMinimumSize(designedSize_);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    setFixedSize(designedSize_);
  }
}

window::Geometry WindowView::stretchedGeometry(const Part& part) const {
  const Part* parent = part.layout->parent.empty() ? nullptr : find(part.layout->parent);
  QSize outer = parent ? growth(*parent) : (size() - designedSize_).expandedTo(QSize(0, 0));
  window::Geometry g = model_.geometry(window::ComponentId{part.layout->name});
  return stretched(g, stretchOf(*part.layout), outer.width(), outer.height());
}

QSize WindowView::growth(const Part& part) const {
  window::Geometry g = model_.geometry(window::ComponentId{part.layout->name});
  window::Geometry s = stretchedGeometry(part);
  return {s.width - g.width, s.height - g.height};
}

void WindowView::place(Part& part) {
  if (!part.widget) return;
  window::Geometry g = stretchedGeometry(part);
  const Part* parent = part.layout->parent.empty() ? nullptr : find(part.layout->parent);
  // A page of a tab control starts below its tab bar.
  if (part.layout->tabPage >= 0 && parent && dynamic_cast<TabControl*>(parent->widget)) {
    g.top -= TabControl::kPageTop;
  }
  part.widget->setGeometry(g.left, g.top, g.width, g.height);
  if (auto* view = qobject_cast<QTreeView*>(part.widget)) widenColumns(*view, *part.layout);
}

// The width a list gains goes to its two text columns (title and magnet link on the result
// list), so that long links show whole on a large window.
void WindowView::widenColumns(QTreeView& view, const window::ComponentTemplate& list) {
  const auto& columns = list.columns;
  if (columns.size() < 3) return;
  int extra = std::max(0, view.width() - list.geometry.width);
  view.header()->resizeSection(1, columns[1].width + extra / 2);
  view.header()->resizeSection(2, columns[2].width + extra - extra / 2);
}

void WindowView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (auto& [name, part] : parts_) place(part);
}

void WindowView::loadState(Part& part) {
  const std::string& name = part.layout->name;
  auto load = [&](ChangeKind kind, int index = -1) { apply({kind, name, index}); };
  load(ChangeKind::Text);
  load(ChangeKind::Checked);
  load(ChangeKind::Enabled);
  load(ChangeKind::Visible);
  load(ChangeKind::Colour);
  load(ChangeKind::Hint);
  load(ChangeKind::Picture);
  load(ChangeKind::TimerInterval);
  load(ChangeKind::RowsReset);
  load(ChangeKind::CurrentTab);
  for (std::size_t i = 0; i < part.layout->tabs.size(); ++i)
    load(ChangeKind::TabVisible, static_cast<int>(i));
  for (std::size_t i = 0; i < part.layout->parts.size(); ++i)
    load(ChangeKind::StatusPart, static_cast<int>(i));
}

// --- model to widgets ---

void WindowView::modelChanged(const window::WindowModel&, const Change& change) {
  Change c = normalised(change);
  std::weak_ptr<int> alive;
  {
    std::lock_guard lock(pendingMutex_);
    if (!alive_) return;
    if (!pendingKeys_.emplace(static_cast<int>(c.kind), c.component, c.index).second) return;
    pending_.push_back(std::move(c));
    if (flushPosted_) return;
    flushPosted_ = true;
    alive = alive_;
  }
  loop_.post([this, alive] {
    if (alive.lock()) flush();
  });
}

void WindowView::flush() {
  std::vector<Change> changes;
  {
    std::lock_guard lock(pendingMutex_);
    changes.swap(pending_);
    pendingKeys_.clear();
    flushPosted_ = false;
  }
  for (const Change& change : changes) apply(change);
}

void WindowView::apply(const Change& change) {
  if (gone_) return;
  if (change.kind == ChangeKind::WindowVisible) return applyWindowVisible();
  if (change.kind == ChangeKind::Destroyed) return applyDestroyed();
  Part* part = find(change.component);
  if (!part) return;
  // Handles view the template's names; the widget's type tells the component's kind.
  const std::string& name = part->layout->name;
  const window::ComponentId any{name};
  QWidget* w = part->widget;
  const bool wasApplying = applying_;
  applying_ = true;
  switch (change.kind) {
    case ChangeKind::Text:
    case ChangeKind::TextAppended:
      applyText(*part);
      break;
    case ChangeKind::Checked:
      if (auto* box = qobject_cast<QCheckBox*>(w)) {
        box->setChecked(model_.checked(window::CheckBoxId{name}));
      }
      break;
    case ChangeKind::Enabled:
      if (w) w->setEnabled(model_.enabled(any));
      break;
    case ChangeKind::Visible:
      if (w) w->setVisible(model_.visible(any));
      break;
    case ChangeKind::Geometry:
      place(*part);
      break;
    case ChangeKind::Colour:
      if (auto rgb = model_.textColour(any); rgb && w) setTextColour(*w, *rgb);
      break;
    case ChangeKind::Hint:
      if (w) applyHint(*w, model_.hint(any));
      break;
    case ChangeKind::Picture:
      if (auto* box = dynamic_cast<PictureBox*>(w)) {
        Bytes bytes = model_.picture(window::PictureBoxId{name});
        box->setPicture(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
      }
      break;
    case ChangeKind::CurrentTab:
      if (auto* tabs = dynamic_cast<TabControl*>(w)) {
        int tab = model_.currentTab(window::TabControlId{name});
        tabs->tabBar()->setCurrentIndex(tab);
        tabs->showPage(tab);
      }
      break;
    case ChangeKind::TabVisible:
      if (auto* tabs = dynamic_cast<TabControl*>(w)) {
        tabs->tabBar()->setTabVisible(change.index,
                                      model_.tabVisible(window::TabControlId{name}, change.index));
      }
      break;
    case ChangeKind::Focus:
      // As a shortcut would: a line box shows its whole text selected, ready to be retyped.
      if (QWidget* target = widget(model_.focus())) target->setFocus(Qt::ShortcutFocusReason);
      break;
    case ChangeKind::StatusPart:
      if (auto* bar = dynamic_cast<StatusBar*>(w)) {
        bar->setPart(change.index,
                     toQString(model_.statusPart(window::StatusBarId{name}, change.index)));
      }
      break;
    case ChangeKind::TimerInterval:
      if (part->timer) {
        int interval = model_.timerInterval(window::TimerId{name});
        if (interval <= 0) {
          part->timer->stop();
        } else if (!part->timer->isActive() || part->timer->interval() != interval) {
          part->timer->start(interval);
        }
      }
      break;
    case ChangeKind::RowsAppended:
    case ChangeKind::RowsReset:
    case ChangeKind::CellChanged:
    case ChangeKind::ScrollToRow:
    case ChangeKind::UpdatesLocked:
      applyList(*part, change.kind);
      break;
    case ChangeKind::WindowVisible:
    case ChangeKind::Destroyed:
      break;
  }
  applying_ = wasApplying;
}

void WindowView::applyText(Part& part) {
  QWidget* w = part.widget;
  if (qobject_cast<QPlainTextEdit*>(w)) return applyMultiLineText(part);
  Text text = textOf(part);
  if (auto* box = qobject_cast<QLineEdit*>(w)) {
    QString shown = toQString(text);
    if (box->text() != shown) {
      box->setText(shown);
      // A rule that rewrote what the user is typing (a number put back within its bounds)
      // leaves the new text selected, so the next key replaces it instead of adding to it.
      if (box->hasFocus() && !box->isReadOnly()) box->selectAll();
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(toQString(text));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(toDisplayLines(text));
  }
}

Text WindowView::textOf(const Part& part) const {
  const std::string& name = part.layout->name;
  switch (part.layout->kind) {
    case ComponentKind::EditBox: return model_.text(window::EditBoxId{name});
    case ComponentKind::CheckBox: return model_.text(window::CheckBoxId{name});
    case ComponentKind::Button:
    case ComponentKind::StyledButton: return model_.text(window::ButtonId{name});
    case ComponentKind::Label:
    case ComponentKind::TransparentLabel:
    case ComponentKind::HyperlinkLabel: return model_.text(window::LabelId{name});
    default: return {};
  }
}

void WindowView::applyMultiLineText(Part& part) {
  auto* box = static_cast<QPlainTextEdit*>(part.widget);
  window::TextShape shape = model_.textShape(window::EditBoxId{part.layout->name});
  if (shape.replacements == part.shownReplacements && shape.text.size() >= part.shownBytes) {
    // Only appended since the last look: add the tail and keep the caret at the end.
    if (shape.text.size() > part.shownBytes) {
      QTextCursor cursor(box->document());
      cursor.movePosition(QTextCursor::End);
      cursor.insertText(toDisplayLines(shape.text.substr(part.shownBytes)));
      box->setTextCursor(cursor);
      box->ensureCursorVisible();
    }
  } else {
    QString shown = toDisplayLines(shape.text);
    if (box->toPlainText() != shown) box->setPlainText(shown);
  }
  part.shownReplacements = shape.replacements;
  part.shownBytes = shape.text.size();
}

void WindowView::applyList(Part& part, ChangeKind kind) {
  auto* view = qobject_cast<QTreeView*>(part.widget);
  if (!view || !part.table) return;
  const window::ReportListId name{part.layout->name};
  if (kind == ChangeKind::UpdatesLocked) {
    view->setUpdatesEnabled(!model_.updatesLocked(name));
    if (!model_.updatesLocked(name)) part.table->refresh();
    return;
  }
  part.table->refresh();
  if (kind == ChangeKind::CellChanged) part.table->cellsChanged();
  if (kind == ChangeKind::RowsReset) {
    int selected = model_.selectedRow(name);
    if (selected >= 0 && selected < part.table->rowCount()) {
      view->setCurrentIndex(part.table->index(selected, 0));
    }
  }
  if (kind == ChangeKind::ScrollToRow) {
    int row = model_.scrolledRow(name);
    if (row >= 0 && row < part.table->rowCount()) view->scrollTo(part.table->index(row, 0));
  }
}

void WindowView::applyWindowVisible() {
  bool shown = model_.windowVisible();
  if (shown && !isVisible()) {
    show();
    raise();
    activateWindow();
    if (QWidget* target = widget(model_.focus())) target->setFocus(Qt::OtherFocusReason);
  } else if (!shown && isVisible()) {
    hide();
  }
}

void WindowView::applyDestroyed() {
  if (gone_ || !model_.destroyed()) return;
  gone_ = true;
  for (auto& [name, part] : parts_) {
    if (part.timer) part.timer->stop();
  }
  close();
  if (goneHandler_) goneHandler_();
}

void WindowView::closeEvent(QCloseEvent* event) {
  if (gone_) {
    event->accept();
    return;
  }
  // The model runs its about-to-be-destroyed handlers (the orderly shutdown waits for the
  // search while the loop runs) outside this event; the window goes once they are done, or
  // at once when it hides while closing.
  event->ignore();
  if (hideWhileClosing_) hide();
  if (closing_) return;
  closing_ = true;
  std::weak_ptr<int> alive = alive_;
  loop_.post([this, alive] {
    if (!alive.lock()) return;
    if (closeHandler_) {
      closeHandler_();
    } else {
      model_.destroy();
    }
    if (alive.lock()) closing_ = false;
  });
}

}  // namespace quenbo::qt
