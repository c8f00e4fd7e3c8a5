#include "backends/qt/system_metrics_qt.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStyle>

namespace unw {

namespace {

SystemFont FontOf(const QFont& f) {
  SystemFont out;
  const QFontInfo info(f);
  out.face = info.family().toStdString();
  out.points = static_cast<float>(info.pointSizeF());
  out.weight = info.weight();
  out.italic = info.italic();
  out.underline = f.underline();
  out.strikeout = f.strikeOut();
  return out;
}

}  // namespace

bool QtSystemMetrics::ReadFonts(SystemFonts& fonts) {
  if (!qApp) return false;
  const QFont general = QApplication::font();
  fonts.message = FontOf(general);
  fonts.caption = FontOf(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  fonts.menu = FontOf(QApplication::font("QMenu"));
  fonts.status = FontOf(QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont));
  QStyle* style = QApplication::style();
  fonts.captionHeight = style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 0;
  fonts.borderWidth = style ? style->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  return !fonts.message.face.empty() && fonts.message.points > 0;
}

}  // namespace unw
