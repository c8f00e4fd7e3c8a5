#include "backends/win32/fonts_win32.h"

#include <cmath>
#include <utility>

#include "backends/win32/wide_text.h"

namespace unw::win32 {

ScopedGdiObj<HFONT> CreateModelFont(const Font& font, UINT dpi) {
  LOGFONTW lf = {};
  // A negative height asks for the character height (the point size), as the
  // system's own fonts are described; 8.25 points at 96 DPI give -11.
  lf.lfHeight = -static_cast<LONG>(std::lround(font.size * static_cast<float>(dpi) / 72.0f));
  lf.lfWeight = font.bold && font.weight < FW_BOLD ? FW_BOLD : font.weight;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfStrikeOut = font.strikethrough ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(font.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  CopyToField(font.name, lf.lfFaceName);
  return ScopedGdiObj<HFONT>(CreateFontIndirectW(&lf));
}

HFONT FontCache::Get(const Font& font, UINT dpi) {
  for (const Entry& e : entries_) {
    if (e.dpi == dpi && e.font == font) return e.handle;
  }
  ScopedGdiObj<HFONT> h = CreateModelFont(font, dpi);
  if (!h) return nullptr;
  entries_.push_back(Entry{font, dpi, std::move(h)});
  return entries_.back().handle;
}

}  // namespace unw::win32
