// A chart of the form model (forms/chart.h) drawn with GDI in a picture control: the scale at the
// left, a slot per bar with the bar and a column of its marks, the bars' labels below, the key at
// the bottom. Only the system's colours are used, so a high-contrast scheme holds; the chosen bar's
// slot is drawn as a selection.
#pragma once

#include <windows.h>

#include "forms/chart.h"

namespace unw::win32 {

// Paints `chart` over all of `box` with the font selected in `dc`.
void DrawChart(HDC dc, const RECT& box, const Chart& chart, UINT dpi);
// The bar whose slot holds `at` (in the coordinates of `box`), laid out as DrawChart lays it out
// with the font selected in `dc`; -1 when none does.
int ChartBarAt(HDC dc, const RECT& box, const Chart& chart, UINT dpi, POINT at);

}  // namespace unw::win32
