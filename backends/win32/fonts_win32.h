// GDI fonts for the model's fonts at a given DPI.
#pragma once

#include <windows.h>

#include <vector>

#include "forms/control.h"
#include "backends/win32/scoped.h"

namespace unw::win32 {

// A new font for `font` (size in points) drawn at `dpi`.
ScopedGdiObj<HFONT> CreateModelFont(const Font& font, UINT dpi);

// The fonts of one window, made once per distinct font and DPI and freed together.
class FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  HFONT Get(const Font& font, UINT dpi);

 private:
  struct Entry {
    Font font;
    UINT dpi;
    ScopedGdiObj<HFONT> handle;
  };
  std::vector<Entry> entries_;
};

}  // namespace unw::win32
