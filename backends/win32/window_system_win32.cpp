#include "backends/win32/window_system_win32.h"

#include <windows.h>

#include "backends/win32/form_view_win32.h"
#include "backends/win32/taskbar_win32.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/window_life.h"

namespace unw {

namespace {

constexpr wchar_t kMonitorsWindowClass[] = L"Unwindle.Monitors";

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(monitor, &mi)) return TRUE;
  auto& rects = *reinterpret_cast<std::vector<ScreenRect>*>(list);
  const ScreenRect r = {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right,
                        mi.rcMonitor.bottom};
  // The primary monitor first: the one the program's own windows open on by default.
  if (mi.dwFlags & MONITORINFOF_PRIMARY)
    rects.insert(rects.begin(), r);
  else
    rects.push_back(r);
  return TRUE;
}

}  // namespace

std::vector<ScreenRect> Win32WindowSystem::Monitors() {
  std::vector<ScreenRect> rects;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&rects));
  return rects;
}

void Win32WindowSystem::SubscribeMonitors(std::function<void()> changed) {
  monitorsChanged_ = std::move(changed);
  const bool listening = window_.Open(kMonitorsWindowClass, WndProc, this);
  trace_.Line("monitors.listen", {listening ? "1" : "0"});
}

LRESULT CALLBACK Win32WindowSystem::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  Win32WindowSystem* self = nullptr;
  if (win32::AnswerLife(hwnd, msg, wParam, lParam, result, self)) return result;
  if (self && msg == WM_DISPLAYCHANGE) {
    self->trace_.Line("monitors.changed", {});
    if (self->monitorsChanged_) self->monitorsChanged_();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

long Win32WindowSystem::SetTopMost(std::uintptr_t window, bool topMost) {
  // The stacking order only: not the place, nor the keyboard.
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  trace_.Line("window.zorder",
              {std::to_string(window), topMost ? "topmost" : "notopmost", std::to_string(kFlags)});
  return ::SetWindowPos(win32::AsHwnd(window), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        kFlags)
             ? 1
             : 0;
}

void Win32WindowSystem::SetTaskVisible(bool visible) {
  trace_.Line("task.visible", {visible ? "1" : "0"});
  HWND main = view_.MainWindow();
  if (!main) return;
  // WS_EX_APPWINDOW asks for a button; WS_EX_TOOLWINDOW keeps the window out
  // of the task bar and the window switcher. The tool style changes the
  // caption and frame, so it is only switched while the window is hidden
  // (where it costs nothing); a visible window is taken off the task bar by
  // the shell instead, and the view puts the styles back before it shows.
  const bool shown = IsWindowVisible(main);
  LONG_PTR ex = GetWindowLongPtrW(main, GWL_EXSTYLE);
  LONG_PTR want = visible ? ((ex | WS_EX_APPWINDOW) & ~WS_EX_TOOLWINDOW) : (ex & ~WS_EX_APPWINDOW);
  if (!visible && !shown) want |= WS_EX_TOOLWINDOW;
  if (want != ex) SetWindowLongPtrW(main, GWL_EXSTYLE, want);
  view_.SetTaskVisible(visible);
  if (shown) win32::SetTaskbarTab(main, visible);
}

long Win32WindowSystem::SetForegroundWindow(std::uintptr_t window) {
  trace_.Line("window.foreground", {std::to_string(window)});
  return ::SetForegroundWindow(win32::AsHwnd(window)) ? 1 : 0;
}

}  // namespace unw
