// Window-manager calls on the program's windows: stacking order, the task
// bar entry of the main window and the foreground window.
#pragma once

#include <windows.h>

#include "backends/win32/window_life.h"
#include "platform/trace.h"
#include "platform/window_system.h"

namespace unw {

class Win32FormView;

// WindowSystem service: SetWindowPos and friends, traced.
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem(Trace& trace, Win32FormView& view) : trace_(trace), view_(view) {}
  ~Win32WindowSystem() override = default;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  long SetTopMost(std::uintptr_t window, bool topMost) override;
  void SetTaskVisible(bool visible) override;
  long SetForegroundWindow(std::uintptr_t window) override;
  // EnumDisplayMonitors; a change is WM_DISPLAYCHANGE at a hidden top-level window of class
  // Unwindle.Monitors (message-only windows hear no broadcasts).
  std::vector<ScreenRect> Monitors() override;
  void SubscribeMonitors(std::function<void()> changed) override;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  Win32FormView& view_;
  std::function<void()> monitorsChanged_;
  win32::ListeningWindow window_;
};

}  // namespace unw
