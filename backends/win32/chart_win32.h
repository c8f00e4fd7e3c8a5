// A chart of the form model (forms/chart.h) drawn with GDI in a picture control: the scale at the
// left, a slot per bar with its bar, the bars' labels below, then a row per count with its name at
// the left and a number under each bar, the key at the bottom. The chosen bar's label and counts
// are drawn as a selection, and a focus frame goes round its slot while the chart has the keyboard.
#pragma once

#include <windows.h>

#include "forms/chart.h"

namespace unw::win32 {

// Every colour a chart is painted in.
struct ChartColors {
  COLORREF background = 0, frame = 0, text = 0;
  COLORREF grid = 0;   // the scale's lines above the baseline
  COLORREF faint = 0;  // a count of nothing
  COLORREF bar = 0, barEdge = 0;
  COLORREF chosen = 0, chosenText = 0;  // the chosen bar's label and counts
};

// The colours of a chart: the system's own in a high-contrast scheme (whatever `dark` says), a
// dark background with light text and bright bars when `dark`, else the window's colours with
// the program's bars.
ChartColors ChartColorsFor(bool dark, bool highContrast);
// Whether the user has chosen a high-contrast scheme.
bool HighContrastOn();

// Paints `chart` over all of `box` with the font selected in `dc`; `focused`: the chart has the
// keyboard.
void DrawChart(HDC dc, const RECT& box, const Chart& chart, UINT dpi, const ChartColors& colors,
               bool focused);
// The bar whose slot holds `at` (in the coordinates of `box`), laid out as DrawChart lays it out
// with the font selected in `dc`; -1 when none does.
int ChartBarAt(HDC dc, const RECT& box, const Chart& chart, UINT dpi, POINT at);

}  // namespace unw::win32
