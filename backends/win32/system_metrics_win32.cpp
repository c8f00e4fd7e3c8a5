#include "backends/win32/system_metrics_win32.h"

#include <windows.h>

#include <cstddef>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"

namespace unw {

namespace {

// The record without iPaddedBorderWidth: what every Windows version accepts.
constexpr UINT kClassicSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
static_assert(kClassicSize == 500);

}  // namespace

SystemFont FontFromLogFont(const LOGFONTW& lf, int pixelsPerInchY) {
  SystemFont f;
  f.face = win32::FieldText(lf.lfFaceName, LF_FACESIZE);
  // A negative height is the character height in pixels, the point size at the screen's DPI.
  f.points = pixelsPerInchY > 0 ? static_cast<float>(-72.0 * lf.lfHeight / pixelsPerInchY) : 0.0f;
  f.weight = lf.lfWeight;
  f.italic = lf.lfItalic != 0;
  f.underline = lf.lfUnderline != 0;
  f.strikeout = lf.lfStrikeOut != 0;
  f.charset = lf.lfCharSet;
  return f;
}

bool Win32SystemMetrics::ReadFonts(SystemFonts& fonts) {
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = kClassicSize;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return false;
  const int dpi = ScreenPixelsPerInchY();
  fonts.message = FontFromLogFont(ncm.lfMessageFont, dpi);
  fonts.caption = FontFromLogFont(ncm.lfCaptionFont, dpi);
  fonts.menu = FontFromLogFont(ncm.lfMenuFont, dpi);
  fonts.status = FontFromLogFont(ncm.lfStatusFont, dpi);
  fonts.captionHeight = ncm.iCaptionHeight;
  fonts.borderWidth = ncm.iBorderWidth;
  return true;
}

int Win32SystemMetrics::ScreenPixelsPerInchY() {
  win32::ScopedGetDC dc(GetDesktopWindow());
  return dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
}

}  // namespace unw
