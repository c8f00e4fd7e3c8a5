// Window-manager calls on the program's windows: stacking order, the task
// bar entry of the main window, the foreground window and posted messages.
#pragma once

#include "platform/trace.h"
#include "platform/window_system.h"

namespace unw {

class Win32FormView;

// WindowSystem service: SetWindowPos and friends, traced.
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem(Trace& trace, Win32FormView& view) : trace_(trace), view_(view) {}

  long SetWindowPos(std::uintptr_t hwnd, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                    uint32_t flags) override;
  void SetTaskVisible(bool visible) override;
  long SetForegroundWindow(std::uintptr_t hwnd) override;
  long PostMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
               std::intptr_t lParam) override;
  std::intptr_t SendMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                        std::intptr_t lParam) override;

 private:
  Trace& trace_;
  Win32FormView& view_;
};

}  // namespace unw
