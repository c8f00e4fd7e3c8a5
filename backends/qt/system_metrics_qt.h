// The desktop's fonts for messages, title bars, menus and status bars (Qt's platform theme
// reads them from the desktop's settings) and the sizes of a window's frame.
#pragma once

#include "platform/system_metrics.h"

namespace unw {

class QtSystemMetrics : public SystemMetrics {
 public:
  bool ReadFonts(SystemFonts& fonts) override;
};

}  // namespace unw
