// Fonts, colours and alignments of the front-end: the parts of the look the window
// templates leave open.
#pragma once

#include <QFont>
#include <Qt>

#include "window/component.h"

class QApplication;
class QWidget;

namespace quenbo::qt {

// The style, the default font (one that has CJK glyphs) and the style sheet of the whole
// application. Call once, right after the QApplication exists.
void applyLook(QApplication& app);

// The look of one component beyond its kind's defaults.
struct ComponentLook {
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
  int fontPixels = 0;   // 0: the application font
  bool framed = false;  // picture boxes: a light frame while they show no picture
  bool overPicture = false;  // labels on a poster: light text on a dark band while not empty
};
ComponentLook lookOf(const window::ComponentTemplate& component);

// Sets the text colour of any widget kind.
void setTextColour(QWidget& widget, std::uint32_t rgb);

}  // namespace quenbo::qt
