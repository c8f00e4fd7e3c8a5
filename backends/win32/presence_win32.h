// The person and the machine as Windows tells of them: sleep and resume (WM_POWERBROADCAST) and
// session lock and switches (WM_WTSSESSION_CHANGE) at a hidden top-level window, the last input
// (GetLastInputInfo), a full-screen program in front, a call, quiet hours and the running programs
// (busy_signs_win32.h), and the monitor that holds the pointer.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/presence.h"
#include "backends/win32/busy_signs_win32.h"
#include "backends/win32/window_life.h"
#include "platform/trace.h"

namespace unw {

// Presence service. The window's class is kPresenceWindowClass; tests post it the system's
// notifications to play a sleep or a lock.
class Win32Presence : public Presence {
 public:
  static constexpr wchar_t kPresenceWindowClass[] = L"Unwindle.Presence";

  explicit Win32Presence(Trace& trace) : trace_(trace) {}
  ~Win32Presence() override;
  Win32Presence(const Win32Presence&) = delete;
  Win32Presence& operator=(const Win32Presence&) = delete;

  void Subscribe(std::function<void(bool away, AwayReason reason)> sink) override;
  int64_t WallMs() override;
  int64_t IdleMs() override;
  bool FullScreenInFront() override;
  bool CallOn() override;
  bool DoNotDisturb() override { return quiet_.On(); }
  std::string FirstRunning(const std::vector<std::string>& names) override;
  std::vector<std::string> RunningPrograms() override;
  std::string ProgramFileSuffix() override { return ".exe"; }
  ScreenRect PointerWorkArea() override;

  // Whether a window of this style and state, at `window` on a monitor at `monitor`, is a
  // full-screen program: it covers the whole monitor and has neither a title bar nor the maximized
  // state (a maximized window covers a monitor whose work area is the whole of it, as with an
  // auto-hidden taskbar or under Wine, and is still just a big window).
  static bool IsFullScreenWindow(LONG style, bool maximized, const RECT& window,
                                 const RECT& monitor);
  // What a notification means: away or back, and why; false for the ones that mean neither.
  static bool EventOf(UINT msg, WPARAM wParam, bool& away, AwayReason& reason);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  std::function<void(bool, AwayReason)> sink_;
  win32::ListeningWindow window_;
  bool sessionNotices_ = false;
  win32::CallWatch calls_;
  win32::QuietHours quiet_;
};

}  // namespace unw
