// Window-manager calls on the program's windows: stacking order, the task
// bar entry of the main window and the foreground window.
#pragma once

#include "platform/trace.h"
#include "platform/window_system.h"

namespace unw {

class Win32FormView;

// WindowSystem service: SetWindowPos and friends, traced.
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem(Trace& trace, Win32FormView& view) : trace_(trace), view_(view) {}

  long SetTopMost(std::uintptr_t window, bool topMost) override;
  void SetTaskVisible(bool visible) override;
  long SetForegroundWindow(std::uintptr_t window) override;

 private:
  Trace& trace_;
  Win32FormView& view_;
};

}  // namespace unw
