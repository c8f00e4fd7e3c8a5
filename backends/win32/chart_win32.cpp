#include "backends/win32/chart_win32.h"

#include <algorithm>
#include <string>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

// Where the parts go.
struct Layout {
  RECT plot{};     // the bars stand on its bottom edge; the scale's lines cross it
  int slot = 0;    // the width of one bar's slot
  int labels = 0;  // the top of the bars' labels
  int keyTop = 0;  // the top of the key's row
  int line = 0;    // the height of a line of text
  int mark = 0;    // the side of a mark
  int margin = 0;
};

int Px(int pixelsAt96, UINT dpi) {
  return MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  RECT r = {0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

Layout LayOut(HDC dc, const RECT& box, const Chart& chart, UINT dpi) {
  Layout l;
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  l.line = std::max<int>(tm.tmHeight, 1);
  l.margin = Px(6, dpi);
  int scale = 0, labelLines = 1;
  for (const ChartTick& t : chart.ticks)
    scale = std::max<int>(scale, TextSize(dc, Wide(t.label)).cx);
  for (const ChartBar& b : chart.bars)
    labelLines = std::max<int>(
        labelLines, 1 + static_cast<int>(std::count(b.label.begin(), b.label.end(), '\n')));
  l.keyTop = box.bottom - l.margin - l.line;
  l.labels = l.keyTop - l.margin - labelLines * l.line;
  l.plot.left = box.left + l.margin + scale + l.margin;
  l.plot.right = box.right - l.margin;
  // Room above the highest line for the upper half of its label.
  l.plot.top = box.top + l.margin + l.line / 2;
  l.plot.bottom = l.labels - Px(3, dpi);
  const int count = std::max<int>(static_cast<int>(chart.bars.size()), 1);
  l.slot = std::max(0, static_cast<int>(l.plot.right - l.plot.left) / count);
  // Every slot as wide as the others: what is left over goes to the right margin.
  l.plot.right = l.plot.left + l.slot * count;
  l.mark = std::clamp(l.slot / 4, Px(3, dpi), Px(7, dpi));
  return l;
}

// The y of `value` on the scale, the bottom edge for 0; values past the top stay at the top.
int YOf(const Layout& l, const Chart& chart, int64_t value) {
  const int height = l.plot.bottom - l.plot.top;
  if (chart.top <= 0 || height <= 0) return l.plot.bottom;
  const int64_t v = std::clamp<int64_t>(value, 0, chart.top);
  return l.plot.bottom - static_cast<int>(v * height / chart.top);
}

void Fill(HDC dc, RECT r, int color) {
  FillRect(dc, &r, GetSysColorBrush(color));
}

void Dot(HDC dc, int x, int y, int side, int color) {
  ScopedGdiObj<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(color)));
  ScopedSelect penIn(dc, pen), brushIn(dc, GetSysColorBrush(color));
  Ellipse(dc, x, y, x + side + 1, y + side + 1);
}

void Cross(HDC dc, int x, int y, int side, int color) {
  ScopedGdiObj<HPEN> pen(CreatePen(PS_SOLID, std::max(1, side / 3), GetSysColor(color)));
  ScopedSelect penIn(dc, pen);
  MoveToEx(dc, x, y, nullptr);
  LineTo(dc, x + side, y + side);
  MoveToEx(dc, x + side, y, nullptr);
  LineTo(dc, x, y + side);
}

void Plus(HDC dc, int x, int y, int side, int color) {
  ScopedGdiObj<HPEN> pen(CreatePen(PS_SOLID, std::max(1, side / 3), GetSysColor(color)));
  ScopedSelect penIn(dc, pen);
  MoveToEx(dc, x + side / 2, y, nullptr);
  LineTo(dc, x + side / 2, y + side + 1);
  MoveToEx(dc, x, y + side / 2, nullptr);
  LineTo(dc, x + side + 1, y + side / 2);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, int style, int color) {
  ScopedGdiObj<HPEN> pen(CreatePen(style, 1, GetSysColor(color)));
  ScopedSelect penIn(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void Text(HDC dc, const std::string& text, RECT r, UINT format, int color) {
  SetTextColor(dc, GetSysColor(color));
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), -1, &r, format | DT_NOPREFIX);
}

// One bar's slot: the bar at the left, its marks in a column at the right, dots from the bottom up
// and crosses above them, a "+" where the column is full; its label below. A chosen slot's label
// is selected as a list's item is, and a dotted frame goes round the slot: filling the whole slot
// would read as a bar of the scale's full height.
void DrawSlot(HDC dc, const Layout& l, const Chart& chart, int i) {
  const ChartBar& bar = chart.bars[i];
  const bool chosen = i == chart.chosen;
  const int left = l.plot.left + i * l.slot;
  const int ink = COLOR_WINDOWTEXT;
  const int gap = std::max(1, l.slot / 8);
  const int barRight = left + l.slot - gap - l.mark - gap;
  const int top = YOf(l, chart, bar.value);
  if (bar.value > 0 && barRight > left + gap) {
    // At least a line: a day with any work shows it.
    RECT r = {left + gap, std::min<int>(top, l.plot.bottom - 1), barRight, l.plot.bottom};
    Fill(dc, r, COLOR_HIGHLIGHT);
    FrameRect(dc, &r, GetSysColorBrush(ink));
  }
  const int pitch = l.mark + std::max(1, l.mark / 3);
  const int room = std::max(0, static_cast<int>(l.plot.bottom - l.plot.top) / pitch);
  const int marks = bar.dots + bar.crosses;
  const int shown = marks > room ? room - 1 : marks;
  const int x = left + l.slot - gap - l.mark;
  for (int m = 0; m < shown; ++m) {
    const int y = l.plot.bottom - (m + 1) * pitch;
    (m < bar.dots ? Dot : Cross)(dc, x, y, l.mark, ink);
  }
  if (shown < marks && room > 0) Plus(dc, x, l.plot.bottom - room * pitch, l.mark, ink);
  RECT label = {left, l.labels, left + l.slot, l.keyTop - l.margin / 2};
  if (chosen) {
    Fill(dc, label, COLOR_HIGHLIGHT);
    ScopedGdiObj<HPEN> dots(CreatePen(PS_DOT, 1, GetSysColor(ink)));
    ScopedSelect penIn(dc, dots), hollow(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, left, l.plot.top, left + l.slot, label.top);
  }
  Text(dc, bar.label, label, DT_CENTER | DT_TOP, chosen ? COLOR_HIGHLIGHTTEXT : ink);
}

void DrawKey(HDC dc, const Layout& l, const Chart& chart, const RECT& box) {
  int x = l.plot.left;
  const int y = l.keyTop, side = l.mark, mid = y + (l.line - side) / 2;
  for (const ChartKey& k : chart.key) {
    switch (k.mark) {
      case ChartMark::kBar: {
        RECT r = {x, y + l.line / 6, x + side * 2, y + l.line - l.line / 6};
        Fill(dc, r, COLOR_HIGHLIGHT);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
        x += side * 2;
        break;
      }
      case ChartMark::kDot:
        Dot(dc, x, mid, side, COLOR_WINDOWTEXT);
        x += side;
        break;
      case ChartMark::kCross:
        Cross(dc, x, mid, side, COLOR_WINDOWTEXT);
        x += side;
        break;
    }
    x += l.margin / 2;
    const SIZE size = TextSize(dc, Wide(k.text));
    Text(dc, k.text, RECT{x, y, std::max<int>(x, box.right - l.margin), y + l.line},
         DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS, COLOR_WINDOWTEXT);
    x += size.cx + l.margin * 2;
  }
}

}  // namespace

void DrawChart(HDC dc, const RECT& box, const Chart& chart, UINT dpi) {
  ScopedSaveDC saved(dc);
  Fill(dc, box, COLOR_WINDOW);
  FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
  SetBkMode(dc, TRANSPARENT);
  const Layout l = LayOut(dc, box, chart, dpi);
  if (l.slot <= 0 || l.plot.bottom <= l.plot.top) return;
  // The scale first: its lines run behind the bars. The baseline is solid.
  for (const ChartTick& t : chart.ticks) {
    const int y = YOf(l, chart, t.value);
    const bool base = t.value == 0;
    Line(dc, l.plot.left, y, l.plot.right, y, base ? PS_SOLID : PS_DOT,
         base ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    RECT label = {box.left + l.margin, y - l.line / 2, l.plot.left - l.margin, y + l.line / 2 + 1};
    Text(dc, t.label, label, DT_RIGHT | DT_SINGLELINE | DT_VCENTER, COLOR_WINDOWTEXT);
  }
  for (int i = 0; i < static_cast<int>(chart.bars.size()); ++i) DrawSlot(dc, l, chart, i);
  DrawKey(dc, l, chart, box);
}

int ChartBarAt(HDC dc, const RECT& box, const Chart& chart, UINT dpi, POINT at) {
  const Layout l = LayOut(dc, box, chart, dpi);
  if (l.slot <= 0 || at.x < l.plot.left || at.x >= l.plot.right || at.y < box.top ||
      at.y >= l.keyTop)
    return -1;
  return (at.x - l.plot.left) / l.slot;
}

}  // namespace unw::win32
