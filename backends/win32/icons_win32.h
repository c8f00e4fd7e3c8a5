// Icons made from the pictures the program draws itself: the tray icon sets
// and the program's own icon (the first clock picture) for its windows.
#pragma once

#include <windows.h>

#include "backends/win32/scoped.h"
#include "resources/icons/tray_icon_art.h"

namespace unw::win32 {

// An icon with the picture's colours and alpha; null for an empty picture.
ScopedIcon IconFromImage(const IconImage& image);

// Picture `element` of tray icon set `set`, drawn at `size` x `size` pixels.
ScopedIcon RenderIcon(int set, int element, int size);

// The program's icon: the idle picture of the clock set.
inline ScopedIcon ProgramIcon(int size) {
  return RenderIcon(0, 0, size);
}

}  // namespace unw::win32
