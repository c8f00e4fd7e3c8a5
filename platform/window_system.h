// Window-manager calls the program makes on its windows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/screen.h"

namespace unw {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Keeps `window` above every other window, or puts it back among them; non-zero on success.
  virtual long SetTopMost(std::uintptr_t window, bool topMost) = 0;
  // Whether the program has an entry in the task bar and the window switcher.
  virtual void SetTaskVisible(bool visible) = 0;
  // Brings a window to the front; returns non-zero on success.
  virtual long SetForegroundWindow(std::uintptr_t window) = 0;
  // The monitors' rectangles on the desktop (pixels, the primary monitor's top left at 0,0), the
  // primary first; each whole, its task bar included.
  virtual std::vector<ScreenRect> Monitors() = 0;
  // From now on `changed` hears when a monitor comes, goes or changes its size (the system says
  // so); a caller that must not miss one looks again now and then as well.
  virtual void SubscribeMonitors(std::function<void()> changed) = 0;
};

}  // namespace unw
