// What a control's text needs on Windows: the text drawn in the control's font at a DPI, with
// what each kind of standard control draws around it (a check box's box, a button's edges, a
// frame's caption indent), for the layout rule of forms/fit.h.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "backends/win32/fonts_win32.h"
#include "forms/fit.h"

namespace unw::win32 {

// The pixels `text` covers drawn as a label draws it in `font` at `dpi` (each line whole, tabs
// expanded, "&" marking an access key), ink beyond the advance included; wrapped at words within
// `wrapPixels` when that is above 0.
SIZE TextPixels(const Font& font, const std::string& text, UINT dpi, int wrapPixels = 0);

// What a control draws around its text, in pixels at `dpi`: across (both sides together) and
// down.
SIZE ChromePixels(const Control& c, UINT dpi);

class Win32TextRoom : public TextRoom {
 public:
  explicit Win32TextRoom(UINT dpi) : dpi_(dpi) {}
  UINT dpi() const { return dpi_; }
  // Measures for another DPI from now on.
  void SetDpi(UINT dpi);
  TextSize Needs(const Control& c, int wrapWidth) override;

 private:
  UINT dpi_;
  // Measured texts: a caption that changes every second measures only its new text.
  std::map<std::tuple<int, std::string, float, int, int, std::string, int>, TextSize> known_;
};

}  // namespace unw::win32
