// System-wide metrics: the non-client metrics with their fonts, and the
// screen's resolution.
#pragma once

#include <array>
#include <cstdint>

namespace unw {

// The 8-bit form of a LOGFONT.
struct LogFont {
  int32_t lfHeight = 0;
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = 0;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  std::array<char, 32> lfFaceName{};
};

// NONCLIENTMETRICSA without iPaddedBorderWidth (340 bytes).
struct NonClientMetricsData {
  uint32_t cbSize = 0;
  int32_t iBorderWidth = 0;
  int32_t iScrollWidth = 0;
  int32_t iScrollHeight = 0;
  int32_t iCaptionWidth = 0;
  int32_t iCaptionHeight = 0;
  LogFont lfCaptionFont;
  int32_t iSmCaptionWidth = 0;
  int32_t iSmCaptionHeight = 0;
  LogFont lfSmCaptionFont;
  int32_t iMenuWidth = 0;
  int32_t iMenuHeight = 0;
  LogFont lfMenuFont;
  LogFont lfStatusFont;
  LogFont lfMessageFont;
};

class SystemMetrics {
 public:
  virtual ~SystemMetrics() = default;
  // SystemParametersInfoA(SPI_GETNONCLIENTMETRICS) for a record of `m.cbSize` bytes;
  // non-zero on success.
  virtual long GetNonClientMetrics(NonClientMetricsData& m) = 0;
  // Dots per inch of the screen, vertically (LOGPIXELSY of the desktop's device context).
  virtual int ScreenPixelsPerInchY() = 0;
};

}  // namespace unw
