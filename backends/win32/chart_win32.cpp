#include "backends/win32/chart_win32.h"

#include <algorithm>
#include <string>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

// Where the parts go.
struct Layout {
  RECT plot{};      // the bars stand on its bottom edge; the scale's lines cross it
  int slot = 0;     // the width of one bar's slot
  int labels = 0;   // the top of the bars' labels
  int rows = 0;     // the top of the first row of counts
  int rowsEnd = 0;  // below the last row
  int keyTop = 0;   // the top of the key's row
  int line = 0;     // the height of a line of text
  int margin = 0;
};

int Px(int pixelsAt96, UINT dpi) {
  return MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}

SIZE TextSize(HDC dc, const std::string& text) {
  const std::wstring wide = Wide(text);
  RECT r = {0, 0, 0, 0};
  DrawTextW(dc, wide.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

Layout LayOut(HDC dc, const RECT& box, const Chart& chart, UINT dpi) {
  Layout l;
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  l.line = std::max<int>(tm.tmHeight, 1);
  l.margin = Px(6, dpi);
  // The left column holds the scale's labels and the rows' names.
  int left = 0, labelLines = 1;
  for (const ChartTick& t : chart.ticks) left = std::max<int>(left, TextSize(dc, t.label).cx);
  for (const ChartRow& r : chart.rows) left = std::max<int>(left, TextSize(dc, r.name).cx);
  for (const ChartBar& b : chart.bars)
    labelLines = std::max<int>(
        labelLines, 1 + static_cast<int>(std::count(b.label.begin(), b.label.end(), '\n')));
  const int rowCount = static_cast<int>(chart.rows.size());
  l.keyTop = chart.barKey.empty() ? box.bottom : box.bottom - l.margin / 2 - l.line;
  l.rowsEnd = l.keyTop - l.margin / 2;
  l.rows = l.rowsEnd - rowCount * l.line;
  l.labels = l.rows - (rowCount ? l.margin / 2 : 0) - labelLines * l.line;
  l.plot.left = box.left + l.margin + left + l.margin;
  l.plot.right = box.right - l.margin;
  // Room above the highest line for the upper half of its label.
  l.plot.top = box.top + l.margin + l.line / 2;
  l.plot.bottom = l.labels - Px(3, dpi);
  const int count = std::max<int>(static_cast<int>(chart.bars.size()), 1);
  l.slot = std::max(0, static_cast<int>(l.plot.right - l.plot.left) / count);
  // Every slot as wide as the others: what is left over goes to the right margin.
  l.plot.right = l.plot.left + l.slot * count;
  return l;
}

// The y of `value` on the scale, the bottom edge for 0; values past the top stay at the top.
int YOf(const Layout& l, const Chart& chart, int64_t value) {
  const int height = l.plot.bottom - l.plot.top;
  if (chart.top <= 0 || height <= 0) return l.plot.bottom;
  const int64_t v = std::clamp<int64_t>(value, 0, chart.top);
  return l.plot.bottom - static_cast<int>(v * height / chart.top);
}

void Fill(HDC dc, RECT r, COLORREF color) {
  const ScopedGdiObj<HBRUSH> brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush);
}

void Frame(HDC dc, RECT r, COLORREF color) {
  const ScopedGdiObj<HBRUSH> brush(CreateSolidBrush(color));
  FrameRect(dc, &r, brush);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, int style, COLORREF color) {
  ScopedGdiObj<HPEN> pen(CreatePen(style, 1, color));
  ScopedSelect penIn(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void Text(HDC dc, const std::string& text, RECT r, UINT format, COLORREF color) {
  SetTextColor(dc, color);
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), -1, &r, format | DT_NOPREFIX);
}

// A bar filled and edged, at least a line high: a day with any work shows it.
void Bar(HDC dc, RECT r, const ChartColors& c) {
  Fill(dc, r, c.bar);
  Frame(dc, r, c.barEdge);
}

// One bar's slot: the bar in its middle, its label below, its counts under the label. The chosen
// slot's label and counts are selected as a list's item is, and a thin frame goes round its part
// of the plot (filling it would read as a bar of the scale's full height); the focus frame goes
// round the whole slot while the chart has the keyboard.
void DrawSlot(HDC dc, const Layout& l, const Chart& chart, int i, const ChartColors& c,
              bool focused) {
  const ChartBar& bar = chart.bars[i];
  const bool chosen = i == chart.chosen;
  const int left = l.plot.left + i * l.slot, right = left + l.slot;
  const int gap = std::max(2, l.slot / 5);
  if (bar.value > 0 && right - gap > left + gap) {
    const int top = std::min<int>(YOf(l, chart, bar.value), l.plot.bottom - 1);
    Bar(dc, RECT{left + gap, top, right - gap, l.plot.bottom}, c);
  }
  const RECT cell = {left, l.labels, right, l.rowsEnd};
  if (chosen) {
    Fill(dc, cell, c.chosen);
    Frame(dc, RECT{left, l.plot.top, right, l.labels}, c.chosen);
  }
  const COLORREF ink = chosen ? c.chosenText : c.text;
  // Each line of a label, and each count, centred in the slot; a wider one spreads over the
  // slot's edges rather than being cut.
  Text(dc, bar.label, RECT{left, l.labels, right, l.rows}, DT_CENTER | DT_TOP | DT_NOCLIP, ink);
  for (size_t r = 0; r < chart.rows.size(); ++r) {
    const std::vector<int>& counts = chart.rows[r].counts;
    const int n = i < static_cast<int>(counts.size()) ? counts[i] : 0;
    const int y = l.rows + static_cast<int>(r) * l.line;
    Text(dc, std::to_string(n), RECT{left, y, right, y + l.line},
         DT_CENTER | DT_SINGLELINE | DT_NOCLIP, n == 0 && !chosen ? c.faint : ink);
  }
  if (chosen && focused) {
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.background);
    RECT ring = {left + 1, l.plot.top + 1, right - 1, l.rowsEnd - 1};
    DrawFocusRect(dc, &ring);
  }
}

}  // namespace

bool HighContrastOn() {
  HIGHCONTRASTW hc = {};
  hc.cbSize = sizeof hc;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
         (hc.dwFlags & HCF_HIGHCONTRASTON);
}

ChartColors ChartColorsFor(bool dark, bool highContrast) {
  ChartColors c;
  if (highContrast) {
    c.background = GetSysColor(COLOR_WINDOW);
    c.frame = GetSysColor(COLOR_WINDOWFRAME);
    c.text = GetSysColor(COLOR_WINDOWTEXT);
    c.grid = c.faint = GetSysColor(COLOR_GRAYTEXT);
    c.bar = GetSysColor(COLOR_HIGHLIGHT);
    c.barEdge = GetSysColor(COLOR_WINDOWTEXT);
    c.chosen = GetSysColor(COLOR_HIGHLIGHT);
    c.chosenText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else if (dark) {
    c.background = RGB(0x20, 0x20, 0x20);
    c.frame = RGB(0x55, 0x55, 0x55);
    c.text = RGB(0xF0, 0xF0, 0xF0);
    c.grid = RGB(0x5A, 0x5A, 0x5A);
    c.faint = RGB(0x8C, 0x8C, 0x8C);
    c.bar = RGB(0x4C, 0xA3, 0xEB);
    c.barEdge = RGB(0x9C, 0xCF, 0xFF);
    c.chosen = RGB(0x00, 0x5F, 0xB8);
    c.chosenText = RGB(0xFF, 0xFF, 0xFF);
  } else {
    c.background = GetSysColor(COLOR_WINDOW);
    c.frame = GetSysColor(COLOR_WINDOWFRAME);
    c.text = GetSysColor(COLOR_WINDOWTEXT);
    c.grid = c.faint = GetSysColor(COLOR_GRAYTEXT);
    c.bar = RGB(0x5B, 0x9B, 0xD5);
    c.barEdge = RGB(0x2E, 0x6D, 0xA4);
    c.chosen = GetSysColor(COLOR_HIGHLIGHT);
    c.chosenText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  return c;
}

void DrawChart(HDC dc, const RECT& box, const Chart& chart, UINT dpi, const ChartColors& colors,
               bool focused) {
  ScopedSaveDC saved(dc);
  Fill(dc, box, colors.background);
  Frame(dc, box, colors.frame);
  SetBkMode(dc, TRANSPARENT);
  const Layout l = LayOut(dc, box, chart, dpi);
  if (l.slot <= 0 || l.plot.bottom <= l.plot.top) return;
  // The scale first: its lines run behind the bars. The baseline is solid.
  for (const ChartTick& t : chart.ticks) {
    const int y = YOf(l, chart, t.value);
    const bool base = t.value == 0;
    Line(dc, l.plot.left, y, l.plot.right, y, base ? PS_SOLID : PS_DOT,
         base ? colors.text : colors.grid);
    RECT label = {box.left + l.margin, y - l.line / 2, l.plot.left - l.margin, y + l.line / 2 + 1};
    Text(dc, t.label, label, DT_RIGHT | DT_SINGLELINE | DT_VCENTER, colors.text);
  }
  // The rows' names at the left of their counts.
  for (size_t r = 0; r < chart.rows.size(); ++r) {
    const int y = l.rows + static_cast<int>(r) * l.line;
    Text(dc, chart.rows[r].name, RECT{box.left + l.margin, y, l.plot.left, y + l.line},
         DT_LEFT | DT_SINGLELINE, colors.text);
  }
  for (int i = 0; i < static_cast<int>(chart.bars.size()); ++i)
    DrawSlot(dc, l, chart, i, colors, focused);
  if (!chart.barKey.empty()) {
    const int side = l.line * 2 / 3, y = l.keyTop + (l.line - side) / 2;
    Bar(dc, RECT{l.plot.left, y, l.plot.left + side * 2, y + side}, colors);
    const int x = l.plot.left + side * 2 + l.margin;
    Text(dc, chart.barKey, RECT{x, l.keyTop, std::max<int>(x, box.right - l.margin), box.bottom},
         DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS, colors.text);
  }
}

int ChartBarAt(HDC dc, const RECT& box, const Chart& chart, UINT dpi, POINT at) {
  const Layout l = LayOut(dc, box, chart, dpi);
  if (l.slot <= 0 || at.x < l.plot.left || at.x >= l.plot.right || at.y < box.top ||
      at.y >= l.rowsEnd)
    return -1;
  return (at.x - l.plot.left) / l.slot;
}

}  // namespace unw::win32
