#include "backends/qt/chart_qt.h"

#include <QFontMetrics>
#include <algorithm>

namespace unw::qt {

namespace {

// Where each part of the chart goes in `box`.
struct Layout {
  QRect plot;  // the bars' area, the baseline at its bottom
  int left = 0, slot = 0;
  int labelsTop = 0, labelLines = 1, line = 0;
  int rowsTop = 0, keyTop = 0;
};

Layout LayOut(const QFontMetrics& fm, const QRect& box, const Chart& chart) {
  Layout l;
  l.line = fm.height();
  int scale = 0;
  for (const auto& t : chart.ticks)
    scale = std::max(scale, fm.horizontalAdvance(QString::fromStdString(t.label)));
  for (const auto& r : chart.rows)
    scale = std::max(scale, fm.horizontalAdvance(QString::fromStdString(r.name)));
  for (const auto& b : chart.bars) {
    if (b.label.find('\n') != std::string::npos) l.labelLines = 2;
  }
  const int pad = fm.averageCharWidth();
  l.left = box.left() + scale + 2 * pad;
  const int bars = std::max<int>(1, static_cast<int>(chart.bars.size()));
  l.slot = std::max(1, (box.right() - pad - l.left) / bars);
  const int below = l.line * (l.labelLines + static_cast<int>(chart.rows.size()) +
                              (chart.barKey.empty() ? 0 : 1)) +
                    pad;
  const int top = box.top() + l.line / 2 + pad;
  const int bottom = std::max(top + 1, box.bottom() - below);
  l.plot = QRect(QPoint(l.left, top), QPoint(l.left + l.slot * bars, bottom));
  l.labelsTop = bottom + pad / 2;
  l.rowsTop = l.labelsTop + l.line * l.labelLines;
  l.keyTop = l.rowsTop + l.line * static_cast<int>(chart.rows.size());
  return l;
}

int YOf(const Layout& l, int64_t value, int64_t top) {
  if (top <= 0) return l.plot.bottom();
  value = std::clamp<int64_t>(value, 0, top);
  return l.plot.bottom() - static_cast<int>(value * l.plot.height() / top);
}

}  // namespace

void DrawChart(QPainter& p, const QRect& box, const Chart& chart, const QPalette& palette,
               bool focused) {
  const QFontMetrics fm = p.fontMetrics();
  const Layout l = LayOut(fm, box, chart);
  p.fillRect(box, palette.color(QPalette::Base));
  p.setPen(palette.color(QPalette::Mid));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  const QColor text = palette.color(QPalette::Text);
  // The scale: its lines across, their labels at the left.
  for (const auto& t : chart.ticks) {
    const int y = YOf(l, t.value, chart.top);
    p.setPen(palette.color(QPalette::Midlight));
    p.drawLine(l.plot.left(), y, l.plot.right(), y);
    p.setPen(text);
    p.drawText(QRect(box.left(), y - l.line / 2, l.left - box.left() - 4, l.line),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(t.label));
  }
  p.setPen(text);
  p.drawLine(l.plot.left(), l.plot.bottom(), l.plot.right(), l.plot.bottom());
  const QColor bar = palette.color(QPalette::Highlight);
  for (size_t i = 0; i < chart.bars.size(); ++i) {
    const int x = l.left + static_cast<int>(i) * l.slot;
    const QRect slot(x, l.plot.top(), l.slot, l.keyTop - l.plot.top());
    const bool chosen = static_cast<int>(i) == chart.chosen;
    const auto& b = chart.bars[i];
    if (b.value > 0) {
      const int y = YOf(l, b.value, chart.top);
      p.fillRect(QRect(QPoint(x + l.slot / 5, y), QPoint(x + l.slot - l.slot / 5, l.plot.bottom())),
                 bar);
    }
    // The label and the counts of the chosen bar are a selection.
    const QRect labels(x, l.labelsTop, l.slot, l.keyTop - l.labelsTop);
    if (chosen) p.fillRect(labels, palette.color(QPalette::Highlight));
    p.setPen(chosen ? palette.color(QPalette::HighlightedText) : text);
    p.drawText(QRect(x, l.labelsTop, l.slot, l.line * l.labelLines),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(b.label));
    for (size_t r = 0; r < chart.rows.size(); ++r) {
      const auto& counts = chart.rows[r].counts;
      const int n = i < counts.size() ? counts[i] : 0;
      if (!chosen) p.setPen(n == 0 ? palette.color(QPalette::PlaceholderText) : text);
      p.drawText(QRect(x, l.rowsTop + static_cast<int>(r) * l.line, l.slot, l.line),
                 Qt::AlignCenter | Qt::TextDontClip, QString::number(n));
    }
    if (chosen && focused) {
      p.setPen(QPen(text, 1, Qt::DotLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(slot.adjusted(1, 1, -2, -2));
    }
  }
  p.setPen(text);
  for (size_t r = 0; r < chart.rows.size(); ++r) {
    p.drawText(QRect(box.left() + 4, l.rowsTop + static_cast<int>(r) * l.line,
                     l.left - box.left() - 8, l.line),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(chart.rows[r].name));
  }
  if (!chart.barKey.empty()) {
    const int swatch = l.line / 2;
    p.fillRect(QRect(l.left, l.keyTop + swatch / 2, swatch, swatch), bar);
    p.drawText(QRect(l.left + swatch * 2, l.keyTop, box.right() - l.left, l.line),
               Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(chart.barKey));
  }
}

int ChartBarAt(const QFontMetrics& metrics, const QRect& box, const Chart& chart, QPoint at) {
  const Layout l = LayOut(metrics, box, chart);
  if (at.x() < l.left || at.y() < box.top() || at.y() > box.bottom()) return -1;
  const int i = (at.x() - l.left) / l.slot;
  return i < static_cast<int>(chart.bars.size()) ? i : -1;
}

}  // namespace unw::qt
