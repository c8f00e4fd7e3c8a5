// Every picture a control can name: the program's own glyphs, the system's
// standard icons ("sys.information" ...) and the tray icon sets
// ("tray:SET:ELEMENT"), drawn at whatever size the control has.
#pragma once

#include <windows.h>

#include <string>

#include "backends/win32/scoped.h"
#include "backends/win32/theme_win32.h"

namespace unw::win32 {

// Whether `picture` names a picture this file can draw.
bool HasPicture(const std::string& picture);

// Draws `picture` centred in `box` as a square of the box's smaller side (disabled, the
// program's own glyphs take `ink`, the system's colours by default); false when the name is not
// one this file knows.
bool DrawPicture(HDC dc, const RECT& box, const std::string& picture, bool enabled);
bool DrawPicture(HDC dc, const RECT& box, const std::string& picture, bool enabled,
                 const DisabledInk& ink);

// `picture` as an icon of `size` x `size` pixels with a transparent
// background, for controls that show icons (BS_ICON); null when unknown.
ScopedIcon PictureIcon(const std::string& picture, int size);

}  // namespace unw::win32
