#include "platform/win32/system_metrics_win32.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace unw {

namespace {

// The record without iPaddedBorderWidth: what every Windows version accepts.
constexpr UINT kClassicSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
static_assert(kClassicSize == 340);

LogFont FromLogFont(const LOGFONTA& lf) {
  LogFont f;
  f.lfHeight = lf.lfHeight;
  f.lfWidth = lf.lfWidth;
  f.lfEscapement = lf.lfEscapement;
  f.lfOrientation = lf.lfOrientation;
  f.lfWeight = lf.lfWeight;
  f.lfItalic = lf.lfItalic;
  f.lfUnderline = lf.lfUnderline;
  f.lfStrikeOut = lf.lfStrikeOut;
  f.lfCharSet = lf.lfCharSet;
  f.lfOutPrecision = lf.lfOutPrecision;
  f.lfClipPrecision = lf.lfClipPrecision;
  f.lfQuality = lf.lfQuality;
  f.lfPitchAndFamily = lf.lfPitchAndFamily;
  static_assert(sizeof f.lfFaceName == sizeof lf.lfFaceName);
  std::memcpy(f.lfFaceName.data(), lf.lfFaceName, sizeof lf.lfFaceName);
  return f;
}

}  // namespace

long Win32SystemMetrics::GetNonClientMetrics(NonClientMetricsData& m) {
  NONCLIENTMETRICSA ncm;
  std::memset(&ncm, 0, sizeof ncm);
  // The size the caller asks for is the layout the system fills; a larger
  // one than this structure would be written past its end.
  if (m.cbSize > sizeof ncm) return 0;
  ncm.cbSize = m.cbSize;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, m.cbSize, &ncm, 0)) return 0;
  m.iBorderWidth = ncm.iBorderWidth;
  m.iScrollWidth = ncm.iScrollWidth;
  m.iScrollHeight = ncm.iScrollHeight;
  m.iCaptionWidth = ncm.iCaptionWidth;
  m.iCaptionHeight = ncm.iCaptionHeight;
  m.lfCaptionFont = FromLogFont(ncm.lfCaptionFont);
  m.iSmCaptionWidth = ncm.iSmCaptionWidth;
  m.iSmCaptionHeight = ncm.iSmCaptionHeight;
  m.lfSmCaptionFont = FromLogFont(ncm.lfSmCaptionFont);
  m.iMenuWidth = ncm.iMenuWidth;
  m.iMenuHeight = ncm.iMenuHeight;
  m.lfMenuFont = FromLogFont(ncm.lfMenuFont);
  m.lfStatusFont = FromLogFont(ncm.lfStatusFont);
  m.lfMessageFont = FromLogFont(ncm.lfMessageFont);
  return 1;
}

int Win32SystemMetrics::ScreenPixelsPerInchY() {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDC(desktop);
  if (!dc) return 0;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(desktop, dc);
  return dpi;
}

}  // namespace unw
