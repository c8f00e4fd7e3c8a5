// The system's non-client metrics and fonts, and the screen's resolution.
#pragma once

#include "platform/system_metrics.h"

namespace unw {

// SystemMetrics service over SystemParametersInfoW and the desktop's DC.
class Win32SystemMetrics : public SystemMetrics {
 public:
  long GetNonClientMetrics(NonClientMetricsData& m) override;
  int ScreenPixelsPerInchY() override;
};

}  // namespace unw
