#include "qt/artwork.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "forms/main_window_names.h"

// The resource's initialiser is declared where Q_INIT_RESOURCE stands: outside any namespace.
static void initIconResource() { Q_INIT_RESOURCE(quenbo_icons); }

namespace quenbo::qt {
namespace {

using namespace forms::names;

Bytes toPng(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return Bytes(png.constData(), static_cast<std::size_t>(png.size()));
}

}  // namespace

QIcon applicationIcon() {
  // The PNGs the package installs into the icon theme, built into the program as well.
  initIconResource();
  QIcon icon;
  for (int size : kIconSizes)
    icon.addFile(QStringLiteral(":/icons/quenbo-%1.png").arg(size), QSize(size, size));
  return icon;
}

Bytes thanksPicture(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0xD9, 0xDE, 0xE5), 2));
  p.setBrush(QColor(0xF6, 0xF8, 0xFB));
  p.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), 16, 16);

  const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) * 0.22;
  QPainterPath heart;
  heart.moveTo(cx, cy + r * 1.1);
  heart.cubicTo(cx - r * 2.0, cy - r * 0.1, cx - r * 0.9, cy - r * 1.5, cx, cy - r * 0.55);
  heart.cubicTo(cx + r * 0.9, cy - r * 1.5, cx + r * 2.0, cy - r * 0.1, cx, cy + r * 1.1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xEF, 0x76, 0x7A));
  p.drawPath(heart);
  return toPng(image);
}

Bytes panelPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient fade(0, 0, 0, height);
  fade.setColorAt(0, QColor(0xF3, 0xF6, 0xFA));
  fade.setColorAt(1, QColor(0xDD, 0xE6, 0xF0));
  p.fillRect(image.rect(), fade);
  return toPng(image);
}

void installArtwork(window::WindowModel& mainWindow, window::WindowModel& updateWindow) {
  for (auto name : {图片框16, 图片框15}) {
    window::Geometry g = mainWindow.geometry(name);
    mainWindow.setPicture(name, thanksPicture(g.width, g.height));
  }
  window::Geometry panel = updateWindow.geometry(图片框1);
  updateWindow.setPicture(图片框1, panelPicture(panel.width, panel.height));
}

}  // namespace quenbo::qt
