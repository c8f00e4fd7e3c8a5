#include "backends/qt/pictures_qt.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <cstdio>
#include <functional>
#include <map>

#include "resources/icons/program_icon.h"

namespace unw::qt {

namespace {

// "tray:SET:ELEMENT"; false when the name is not of that form.
bool ParseTray(const std::string& picture, int& set, int& element) {
  int used = 0;
  return std::sscanf(picture.c_str(), "tray:%d:%d%n", &set, &element, &used) == 2 &&
         static_cast<size_t>(used) == picture.size();
}

// The desktop's own icons for the message kinds.
QStyle::StandardPixmap SystemIcon(const std::string& picture, bool& known) {
  known = true;
  if (picture == "sys.information") return QStyle::SP_MessageBoxInformation;
  if (picture == "sys.exclamation") return QStyle::SP_MessageBoxWarning;
  if (picture == "sys.stop") return QStyle::SP_MessageBoxCritical;
  if (picture == "sys.question") return QStyle::SP_MessageBoxQuestion;
  known = false;
  return QStyle::SP_CustomBase;
}

// Each glyph draws itself in a box of 100 x 100 units.
using Glyph = std::function<void(QPainter&)>;

void Triangle(QPainter& p, const QColor& fill) {
  p.setBrush(fill);
  p.drawPolygon(QPolygonF({QPointF(28, 18), QPointF(84, 50), QPointF(28, 82)}));
}

const std::map<std::string, Glyph>& Glyphs() {
  static const std::map<std::string, Glyph> glyphs = {
      {"start", [](QPainter& p) { Triangle(p, QColor(0x2E, 0x9E, 0x3E)); }},
      {"play", [](QPainter& p) { Triangle(p, QColor(0x2B, 0x6C, 0xC4)); }},
      {"pause",
       [](QPainter& p) {
         p.setBrush(QColor(0xE0, 0xA0, 0x10));
         p.drawRect(QRectF(24, 18, 18, 64));
         p.drawRect(QRectF(58, 18, 18, 64));
       }},
      {"stop",
       [](QPainter& p) {
         p.setBrush(QColor(0xC8, 0x30, 0x30));
         p.drawRect(QRectF(22, 22, 56, 56));
       }},
      {"change",
       [](QPainter& p) {
         // A pencil.
         p.setBrush(QColor(0xE8, 0xB8, 0x30));
         p.drawPolygon(QPolygonF({QPointF(66, 14), QPointF(86, 34), QPointF(36, 84),
                                  QPointF(16, 84), QPointF(16, 64)}));
       }},
      {"save",
       [](QPainter& p) {
         // A floppy disk.
         p.setBrush(QColor(0x30, 0x50, 0x90));
         p.drawRect(QRectF(16, 16, 68, 68));
         p.setBrush(Qt::white);
         p.drawRect(QRectF(28, 16, 44, 24));
         p.drawRect(QRectF(26, 56, 48, 28));
       }},
      {"unwindle",
       [](QPainter& p) {
         // A cup.
         p.setBrush(QColor(0x8B, 0x5A, 0x2B));
         p.drawRoundedRect(QRectF(20, 34, 46, 48), 8, 8);
         p.setBrush(Qt::NoBrush);
         p.setPen(QPen(QColor(0x8B, 0x5A, 0x2B), 7));
         p.drawEllipse(QRectF(60, 42, 22, 24));
       }},
      {"about",
       [](QPainter& p) {
         // A white "i" on a blue disc.
         p.setBrush(QColor(0x2B, 0x6C, 0xC4));
         p.drawEllipse(QRectF(12, 12, 76, 76));
         p.setBrush(Qt::white);
         p.drawEllipse(QRectF(44, 24, 12, 12));
         p.drawRect(QRectF(44, 42, 12, 34));
       }},
      {"exit",
       [](QPainter& p) {
         // A door with an arrow out of it.
         p.setBrush(QColor(0x8B, 0x5A, 0x2B));
         p.drawRect(QRectF(18, 14, 40, 72));
         p.setPen(QPen(QColor(0xC8, 0x30, 0x30), 9, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(46, 50), QPointF(86, 50));
         p.drawLine(QPointF(72, 36), QPointF(86, 50));
         p.drawLine(QPointF(72, 64), QPointF(86, 50));
       }},
      {"remind",
       [](QPainter& p) {
         // An alarm clock with a sleepy "z".
         p.setBrush(QColor(0xF4, 0xF4, 0xF4));
         p.setPen(QPen(QColor(0x50, 0x50, 0x50), 6));
         p.drawEllipse(QRectF(14, 22, 60, 60));
         p.drawLine(QPointF(44, 52), QPointF(44, 34));
         p.drawLine(QPointF(44, 52), QPointF(58, 52));
         p.setPen(QPen(QColor(0x2B, 0x6C, 0xC4), 6));
         p.drawPolyline(
             QPolygonF({QPointF(66, 10), QPointF(88, 10), QPointF(66, 32), QPointF(88, 32)}));
       }},
      {"defaults",
       [](QPainter& p) {
         // A turning arrow.
         p.setBrush(Qt::NoBrush);
         p.setPen(QPen(QColor(0x2E, 0x9E, 0x3E), 10, Qt::SolidLine, Qt::RoundCap));
         p.drawArc(QRectF(20, 20, 60, 60), 90 * 16, 270 * 16);
         p.setPen(Qt::NoPen);
         p.setBrush(QColor(0x2E, 0x9E, 0x3E));
         p.drawPolygon(QPolygonF({QPointF(50, 6), QPointF(66, 20), QPointF(50, 34)}));
       }},
  };
  return glyphs;
}

QPixmap Greyed(const QPixmap& pixmap) {
  QStyleOption option;
  option.palette = QApplication::palette();
  return QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
}

}  // namespace

QImage ImageOf(const IconImage& art) {
  QImage image(art.size, art.size, QImage::Format_ARGB32);
  for (int y = 0; y < art.size; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < art.size; ++x) row[x] = art.pixels[static_cast<size_t>(y * art.size + x)];
  }
  return image;
}

bool HasPicture(const std::string& picture) {
  int set = 0, element = 0;
  if (ParseTray(picture, set, element)) return !RenderTrayIcon(set, element, 16).pixels.empty();
  bool system = false;
  SystemIcon(picture, system);
  return system || picture == "logo" || Glyphs().count(picture) != 0;
}

QPixmap PicturePixmap(const std::string& picture, int side, bool enabled) {
  if (side <= 0) return {};
  QPixmap out;
  int set = 0, element = 0;
  bool system = false;
  const QStyle::StandardPixmap standard = SystemIcon(picture, system);
  if (ParseTray(picture, set, element)) {
    // Drawn afresh at the exact size (a scaled icon would blur) where the art goes that far.
    IconImage art = RenderTrayIcon(set, element, side);
    if (art.pixels.empty()) art = RenderTrayIcon(set, element, std::min(side, 64));
    if (art.pixels.empty()) return {};
    out = QPixmap::fromImage(
        ImageOf(art).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  } else if (system) {
    out = QApplication::style()->standardIcon(standard).pixmap(side, side);
  } else if (picture == "logo") {
    out = QPixmap::fromImage(ImageOf(RenderProgramIcon(side)));
  } else {
    auto glyph = Glyphs().find(picture);
    if (glyph == Glyphs().end()) return {};
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 100.0, side / 100.0);
    p.setPen(Qt::NoPen);
    glyph->second(p);
    p.end();
    out = QPixmap::fromImage(image);
  }
  return enabled ? out : Greyed(out);
}

}  // namespace unw::qt
