// The system's window fonts and frame sizes, and the screen's resolution.
#pragma once

#include <windows.h>

#include "platform/system_metrics.h"

namespace unw {

// A LOGFONT as the font it describes, its height turned into points at `pixelsPerInchY`.
SystemFont FontFromLogFont(const LOGFONTW& lf, int pixelsPerInchY);

// SystemMetrics service over SystemParametersInfoW and the desktop's DC.
class Win32SystemMetrics : public SystemMetrics {
 public:
  bool ReadFonts(SystemFonts& fonts) override;
  // Dots per inch of the screen, vertically (LOGPIXELSY of the desktop's device context).
  static int ScreenPixelsPerInchY();
};

}  // namespace unw
