// Window-manager calls the program makes on its windows.
#pragma once

#include <cstdint>

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
};

}  // namespace unw
