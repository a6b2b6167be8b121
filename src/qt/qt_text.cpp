#include "qt/qt_text.h"

#include <algorithm>

#include "base/encoding.h"

namespace quenbo::qt {
namespace {

bool isAscii(const Text& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

QString toQString(const Text& text) {
  // Magnet links, sizes and dates are ASCII: skip the converter for them.
  if (isAscii(text)) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  std::string utf8 = gbkToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text toText(const QString& text) {
  QByteArray utf8 = text.toUtf8();
  return utf8ToGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString toDisplayLines(const Text& text) {
  QString s = toQString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

Text fromDisplayLines(const QString& text) {
  QString s = text;
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return toText(s);
}

}  // namespace quenbo::qt
