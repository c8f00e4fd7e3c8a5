#include "backends/win32/presence_win32.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include "backends/win32/window_life.h"

namespace unw {

namespace {

// Windows that fill their monitor without being a program the user is busy with.
bool IsDesktopOrShell(HWND hwnd) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd"}) {
    if (lstrcmpiW(cls, shell) == 0) return true;
  }
  return hwnd == GetDesktopWindow() || hwnd == GetShellWindow();
}

}  // namespace

Win32Presence::~Win32Presence() {
  // Before the window goes with the members.
  if (sessionNotices_) WTSUnRegisterSessionNotification(window_.hwnd());
}

void Win32Presence::Subscribe(std::function<void(bool away, AwayReason reason)> sink) {
  sink_ = std::move(sink);
  if (window_.hwnd()) return;
  // A top-level window, never shown: power broadcasts do not reach message-only windows.
  if (!window_.Open(kPresenceWindowClass, WndProc, this)) {
    trace_.Line("presence.listen", {"0"});
    return;
  }
  sessionNotices_ =
      WTSRegisterSessionNotification(window_.hwnd(), NOTIFY_FOR_THIS_SESSION) != FALSE;
  trace_.Line("presence.listen", {"1", sessionNotices_ ? "1" : "0"});
}

bool Win32Presence::EventOf(UINT msg, WPARAM wParam, bool& away, AwayReason& reason) {
  if (msg == WM_POWERBROADCAST) {
    reason = AwayReason::kSleep;
    switch (wParam) {
      case PBT_APMSUSPEND:
        away = true;
        return true;
      case PBT_APMRESUMESUSPEND:
      case PBT_APMRESUMEAUTOMATIC:
        away = false;
        return true;
      default:
        return false;
    }
  }
  if (msg == WM_WTSSESSION_CHANGE) {
    switch (wParam) {
      case WTS_SESSION_LOCK:
      case WTS_SESSION_UNLOCK:
        reason = AwayReason::kLock;
        away = wParam == WTS_SESSION_LOCK;
        return true;
      case WTS_CONSOLE_DISCONNECT:
      case WTS_REMOTE_DISCONNECT:
      case WTS_CONSOLE_CONNECT:
      case WTS_REMOTE_CONNECT:
        reason = AwayReason::kSwitchedAway;
        away = wParam == WTS_CONSOLE_DISCONNECT || wParam == WTS_REMOTE_DISCONNECT;
        return true;
      default:
        return false;
    }
  }
  return false;
}

LRESULT CALLBACK Win32Presence::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  Win32Presence* self = nullptr;
  if (win32::AnswerLife(hwnd, msg, wParam, lParam, result, self)) return result;
  bool away = false;
  AwayReason reason = AwayReason::kSleep;
  if (self && EventOf(msg, wParam, away, reason)) {
    self->trace_.Line("presence.event", {std::to_string(msg), std::to_string(wParam)});
    if (self->sink_) self->sink_(away, reason);
    return msg == WM_POWERBROADCAST ? TRUE : 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int64_t Win32Presence::WallMs() {
  // Goes on while the machine sleeps, and no change of the clock moves it.
  return static_cast<int64_t>(GetTickCount64());
}

int64_t Win32Presence::IdleMs() {
  LASTINPUTINFO lii = {};
  lii.cbSize = sizeof lii;
  if (!GetLastInputInfo(&lii)) return 0;
  // Both are 32-bit tick counts: the difference is right across their wrap.
  return static_cast<DWORD>(GetTickCount() - lii.dwTime);
}

bool Win32Presence::IsFullScreenWindow(LONG style, bool maximized, const RECT& r,
                                       const RECT& monitor) {
  if (maximized || (style & WS_CAPTION) == WS_CAPTION) return false;
  return r.left <= monitor.left && r.top <= monitor.top && r.right >= monitor.right &&
         r.bottom >= monitor.bottom;
}

bool Win32Presence::FullScreenInFront() {
  // The quiet time after a first logon is no full-screen program: it counts as Do Not Disturb.
  if (win32::CurrentShellState() == win32::ShellState::kFullScreen) return true;
  // The shell does not always tell (Wine never does): a window in front that covers its whole
  // monitor is a full-screen program all the same.
  HWND front = GetForegroundWindow();
  if (!front || !IsWindowVisible(front) || IsIconic(front) || IsDesktopOrShell(front)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(front, &pid);
  if (pid == GetCurrentProcessId()) return false;
  RECT r = {};
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  if (!GetWindowRect(front, &r) ||
      !GetMonitorInfoW(MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &mi))
    return false;
  return IsFullScreenWindow(GetWindowLongW(front, GWL_STYLE), IsZoomed(front) != FALSE, r,
                            mi.rcMonitor);
}

std::string Win32Presence::FirstRunning(const std::vector<std::string>& names) {
  return win32::FirstOf(names, win32::SessionProgramNames());
}

std::vector<std::string> Win32Presence::RunningPrograms() {
  return win32::EachOnce(win32::SessionProgramNames());
}

ScreenRect Win32Presence::PointerWorkArea() {
  POINT at = {};
  GetCursorPos(&at);
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), &mi)) return {};
  return {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
}

bool Win32Presence::CallOn() {
  const int reads = calls_.reads();
  const bool on = calls_.InUse();
  // The records are read again only after they changed: each reading is worth a line.
  if (calls_.reads() != reads) trace_.Line("presence.call", {on ? "1" : "0"});
  return on;
}

}  // namespace unw
