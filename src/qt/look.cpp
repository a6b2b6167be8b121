#include "qt/look.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>
#include <string_view>

#include "forms/main_window_names.h"

namespace quenbo::qt {

using namespace forms::names;
namespace {

// Twelve-pixel glyphs: a caption of five CJK characters fills the 60-pixel caption labels.
constexpr int kFontPixels = 12;

const char* const kStyleSheet = R"(
QPushButton[styled="true"] {
  border: none; color: white; background: #2b7cd3; font-size: 16px; font-weight: bold;
}
QPushButton[styled="true"]:hover { background: #3d8fe6; }
QPushButton[styled="true"]:pressed { background: #1f5fa6; }
QPushButton[styled="true"]:disabled { background: #b9c3cc; color: #eef1f4; }
QLabel[hyperlink="true"] { color: #0645ad; text-decoration: underline; }
QCheckBox { spacing: 2px; }
QCheckBox::indicator { width: 13px; height: 13px; }
)";

// Whether `name` is one of the numbered film-board components made by `numbered`.
template <class Id>
bool isFilmPart(std::string_view name, Id (*numbered)(int)) {
  std::string_view first = numbered(1).name();
  return name.starts_with(first.substr(0, first.size() - 1));
}

}  // namespace

void applyLook(QApplication& app) {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setPixelSize(kFontPixels);
  font.setStyleHint(QFont::SansSerif);
  app.setFont(font);
  app.setStyleSheet(QString::fromLatin1(kStyleSheet));
}

ComponentLook lookOf(const window::ComponentTemplate& c) {
  using K = window::ComponentKind;
  ComponentLook look;
  std::string_view name = c.name;
  const bool multiLine = c.text.find('\n') != Text::npos;
  if (c.kind == K::EditBox) {
    look.alignment = c.edit.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
    if (c.geometry.height >= 30) look.fontPixels = 16;  // the keyword box
  } else if (multiLine) {
    look.alignment = Qt::AlignLeft | Qt::AlignTop;
  }
  // The film board: page switches as large arrows, texts centred under their tiles.
  if (name == 透明标签_上一页 || name == 透明标签_下一页) {
    look.alignment = Qt::AlignCenter;
    look.fontPixels = 28;
  } else if (isFilmPart(name, 透明标签_电影名称) || isFilmPart(name, 透明标签_上映时间)) {
    look.alignment = Qt::AlignCenter;
  } else if (isFilmPart(name, 图片框_电影)) {
    look.framed = true;
  } else if (isFilmPart(name, 透明标签_电影主演) || isFilmPart(name, 透明标签_电影评分)) {
    look.overPicture = true;  // readable on any poster
    look.alignment = Qt::AlignCenter;
  }
  // The donation page: captions under the pictures and the text between them are centred.
  if (name == 透明标签10 || name == 透明标签11 || name == 超级链接框1) {
    look.alignment = Qt::AlignCenter;
    if (name != 超级链接框1) look.fontPixels = 16;
  } else if (name == 透明标签9) {
    look.alignment = Qt::AlignHCenter | Qt::AlignTop;
  }
  return look;
}

void setTextColour(QWidget& widget, std::uint32_t rgb) {
  QColor colour(QRgb(0xFF000000u | rgb));
  QPalette palette = widget.palette();
  for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
  }
  widget.setPalette(palette);
}

}  // namespace quenbo::qt
