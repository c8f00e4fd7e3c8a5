#include "platform/win32/window_system_win32.h"

#include <windows.h>

#include "platform/win32/form_view_win32.h"
#include "platform/win32/taskbar_win32.h"
#include "platform/win32/win32_util.h"

namespace unw {

long Win32WindowSystem::SetWindowPos(std::uintptr_t hwnd, std::intptr_t insertAfter, int x, int y,
                                     int cx, int cy, uint32_t flags) {
  trace_.Line("window.zorder", {std::to_string(hwnd),
                                insertAfter == kHwndTopMost     ? "topmost"
                                : insertAfter == kHwndNoTopMost ? "notopmost"
                                                                : "other",
                                std::to_string(flags)});
  return ::SetWindowPos(win32::AsHwnd(hwnd), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy,
                        flags)
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

long Win32WindowSystem::SetForegroundWindow(std::uintptr_t hwnd) {
  trace_.Line("window.foreground", {std::to_string(hwnd)});
  return ::SetForegroundWindow(win32::AsHwnd(hwnd)) ? 1 : 0;
}

long Win32WindowSystem::PostMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  trace_.Line("window.post", {std::to_string(hwnd), std::to_string(msg), std::to_string(wParam),
                              std::to_string(lParam)});
  return PostMessageW(win32::AsHwnd(hwnd), msg, wParam, lParam) ? 1 : 0;
}

std::intptr_t Win32WindowSystem::SendMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
  // Traced before the call: the window's handler may run for a long time
  // (a modal window) and trace lines of its own.
  trace_.Line("window.send", {std::to_string(hwnd), std::to_string(msg), std::to_string(wParam),
                              std::to_string(lParam)});
  return SendMessageW(win32::AsHwnd(hwnd), msg, wParam, lParam);
}

}  // namespace unw
