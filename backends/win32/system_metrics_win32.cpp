#include "backends/win32/system_metrics_win32.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"

namespace unw {

namespace {

// The record without iPaddedBorderWidth: what every Windows version accepts.
constexpr UINT kClassicSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
constexpr UINT kClassicSizeW = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
static_assert(kClassicSize == 340 && kClassicSizeW == 500);

// The core sizes the record in its 8-bit layout; the system is asked for the
// same layout in wide characters. 0 for a size that is neither layout.
UINT WideLayoutSize(uint32_t size) {
  if (size == kClassicSize) return kClassicSizeW;
  if (size == sizeof(NONCLIENTMETRICSA)) return sizeof(NONCLIENTMETRICSW);
  return 0;
}

LogFont FromLogFont(const LOGFONTW& lf) {
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
  win32::CopyToField(std::wstring_view(lf.lfFaceName, LF_FACESIZE), f.lfFaceName.data(),
                     f.lfFaceName.size());
  return f;
}

}  // namespace

long Win32SystemMetrics::GetNonClientMetrics(NonClientMetricsData& m) {
  NONCLIENTMETRICSW ncm;
  std::memset(&ncm, 0, sizeof ncm);
  // The size the caller asks for is the layout the system fills.
  ncm.cbSize = WideLayoutSize(m.cbSize);
  if (ncm.cbSize == 0) return 0;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return 0;
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
  win32::ScopedGetDC dc(GetDesktopWindow());
  return dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
}

}  // namespace unw
