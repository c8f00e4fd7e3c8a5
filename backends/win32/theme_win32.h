// How the renderer paints a look: the colours and brushes of dark windows (light and high
// contrast keep the system's own), and the system's dark frames, menus and control styles where
// the system has them.
#pragma once

#include <windows.h>

#include "backends/win32/scoped.h"
#include "forms/control.h"
#include "platform/appearance.h"

namespace unw::win32 {

// The colours a window of one look is painted in.
struct Palette {
  bool own = false;     // false: the system's colours, as they are set now
  COLORREF face = 0;    // the window and its labels
  COLORREF text = 0;    // text on the face, a field or a button
  COLORREF grey = 0;    // text of what is disabled
  COLORREF field = 0;   // a text box or list
  COLORREF button = 0;  // a button's face
  COLORREF pushed = 0;  // a button held down
  COLORREF edge = 0;    // a button's outline
  COLORREF link = 0;    // a label that opens something
  COLORREF emboss = 0;  // the shifted copy under a disabled picture
};

// The palette of `look`; light and high contrast read the system's colours.
Palette PaletteOf(Look look);

// The inks of a disabled picture: light parts, the shifted copy, the grey shape.
struct DisabledInk {
  COLORREF face, emboss, grey;
};

// The look windows have now, with its brushes.
class ThemePaint {
 public:
  ThemePaint() { Set(Look::kLight); }
  void Set(Look look);
  Look look() const { return look_; }
  // Painted in the program's own colours (dark); else the system's.
  bool own() const { return palette_.own; }
  const Palette& palette() const { return palette_; }
  HBRUSH Face() const;
  HBRUSH Field() const;
  HBRUSH Button(bool pushed) const;
  DisabledInk Ink() const;
  // Answers WM_CTLCOLOR* for a control in the program's colours: sets the DC's colours and
  // returns the brush; null when the system's are kept.
  HBRUSH ColorControl(UINT msg, HDC dc, bool enabled) const;

 private:
  Look look_ = Look::kLight;
  Palette palette_;
  ScopedGdiObj<HBRUSH> face_, field_, button_, pushed_;
};

// A top-level window's title bar, menus and scroll bars dark or not, where the system offers it.
void ApplyFrameLook(HWND top, bool dark);
// One control's visual style for the look (themed controls whose text ignores our colours go
// classic while dark).
void ApplyControlLook(HWND control, ControlKind kind, bool dark);
// The program's popup menus (the tray menu, the menu bar's menus) dark or light, where the system
// offers it; a system without the calls keeps them light.
void ApplyMenuLook(bool dark);

}  // namespace unw::win32
