// A chart of the form model (forms/chart.h) painted with QPainter in a picture control: the scale
// at the left, a slot per bar with its bar, the bars' labels below, then a row per count with its
// name at the left and a number under each bar, the key at the bottom. The chosen bar's label and
// counts are drawn as a selection, and a focus frame goes round its slot while the chart has the
// keyboard. Its colours are the palette's: light, dark and high contrast follow the look.
#pragma once

#include <QPainter>
#include <QPalette>
#include <QRect>

#include "forms/chart.h"

namespace unw::qt {

void DrawChart(QPainter& p, const QRect& box, const Chart& chart, const QPalette& palette,
               bool focused);
// The bar whose slot holds `at`, laid out as DrawChart lays it out with `p`'s font; -1 when none.
int ChartBarAt(const QFontMetrics& metrics, const QRect& box, const Chart& chart, QPoint at);

}  // namespace unw::qt
