// The pictures of the picture buttons, drawn with GDI at any size, so the
// program ships no image files and stays sharp at every DPI.
#pragma once

#include <windows.h>

#include <string>

#include "backends/win32/theme_win32.h"

namespace unw::win32 {

// Whether `picture` names a glyph this file can draw.
bool HasGlyph(const std::string& picture);
// Draws the glyph centred in `box`; a disabled glyph is greyed and embossed.
void DrawGlyph(HDC dc, const RECT& box, const std::string& picture, bool enabled,
               const DisabledInk& ink);

}  // namespace unw::win32
