// Texts at the widget boundary: the model holds GBK with "\r\n" line breaks, widgets hold
// UTF-16 with "\n".
#pragma once

#include <QString>

#include "base/text.h"

namespace quenbo::qt {

// GBK to UTF-16; "\r\n" stays as it is (labels and line edits never see it).
QString toQString(const Text& text);
// UTF-16 to GBK; characters GBK cannot hold become "?".
Text toText(const QString& text);

// For multi-line boxes: "\r\n" becomes "\n" on the way in and "\n" becomes "\r\n" on the way
// out, so the model keeps its line breaks.
QString toDisplayLines(const Text& text);
Text fromDisplayLines(const QString& text);

}  // namespace quenbo::qt
