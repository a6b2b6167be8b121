#include "qt/widget_factory.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

#include "qt/component_widgets.h"
#include "qt/look.h"
#include "qt/qt_text.h"
#include "qt/report_table_model.h"

namespace quenbo::qt {
namespace {

using window::ComponentKind;
using window::ComponentTemplate;

QWidget* editBox(const ComponentTemplate& c, const ComponentLook& look, QWidget* parent) {
  if (c.edit.multiLine) {
    auto* box = new TextBox(parent);
    box->setReadOnly(c.edit.readOnly);
    box->setVerticalScrollBarPolicy(c.edit.verticalScroll ? Qt::ScrollBarAlwaysOn
                                                          : Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
  }
  auto* box = new QLineEdit(parent);
  box->setReadOnly(c.edit.readOnly);
  box->setAlignment(look.alignment);
  if (c.edit.integerInput || c.edit.maxLength > 0)
    box->setValidator(new TypingValidator(c.edit, box));
  return box;
}

QWidget* label(const ComponentTemplate& c, const ComponentLook& look, QWidget* parent) {
  auto* text = new TextLabel(parent);
  text->setAlignment(look.alignment);
  text->setWordWrap(false);
  text->setTextFormat(Qt::PlainText);
  // A plain label paints its background; transparent labels and links show what is below.
  text->setAutoFillBackground(c.kind == ComponentKind::Label);
  text->setOverPicture(look.overPicture);
  if (c.kind == ComponentKind::HyperlinkLabel) {
    text->setProperty("hyperlink", true);
    text->setCursor(Qt::PointingHandCursor);
  }
  return text;
}

QWidget* reportList(const ComponentTemplate& c, const window::WindowModel& model, QWidget* parent) {
  auto* view = new QTreeView(parent);
  view->setModel(new ReportTableModel(model, window::ReportListId{c.name}, view));
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);  // rows are never measured one by one
  view->setAlternatingRowColors(true);
  // Several rows can be selected (Shift, Ctrl, Ctrl+A) to copy their links at once.
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  view->setTextElideMode(Qt::ElideRight);
  view->setSortingEnabled(false);  // sorting is the system's own: a header click is an event
  QHeaderView* header = view->header();
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (std::size_t i = 0; i < c.columns.size(); ++i) {
    header->resizeSection(static_cast<int>(i), c.columns[i].width);
  }
  return view;
}

}  // namespace

QWidget* createComponentWidget(const ComponentTemplate& c, const window::WindowModel& model,
                               QWidget* parent) {
  const ComponentLook look = lookOf(c);
  QWidget* widget = nullptr;
  switch (c.kind) {
    case ComponentKind::EditBox:
      widget = editBox(c, look, parent);
      break;
    case ComponentKind::CheckBox:
      widget = new QCheckBox(parent);
      break;
    case ComponentKind::Button:
    case ComponentKind::StyledButton: {
      auto* button = new QPushButton(parent);
      button->setProperty("styled", c.kind == ComponentKind::StyledButton);
      button->setFocusPolicy(Qt::TabFocus);
      widget = button;
      break;
    }
    case ComponentKind::Label:
    case ComponentKind::TransparentLabel:
    case ComponentKind::HyperlinkLabel:
      widget = label(c, look, parent);
      break;
    case ComponentKind::PictureBox: {
      auto* box = new PictureBox(parent);
      box->setFramed(look.framed);
      widget = box;
      break;
    }
    case ComponentKind::ReportList:
      widget = reportList(c, model, parent);
      break;
    case ComponentKind::TabControl:
      widget = new TabControl(c.tabs, parent);
      break;
    case ComponentKind::StatusBar:
      widget = new StatusBar(c.parts, parent);
      break;
    case ComponentKind::Timer:
    case ComponentKind::FileDialog:
      return nullptr;
  }
  widget->setObjectName(QString::fromStdString(c.name));
  if (look.fontPixels > 0) {
    QFont font = widget->font();
    font.setPixelSize(look.fontPixels);
    widget->setFont(font);
  }
  return widget;
}

}  // namespace quenbo::qt
