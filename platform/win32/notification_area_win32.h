// The notification area over Shell_NotifyIconW, the shell library's version
// and the subclassing that brings the tray icon's messages to the program.
#pragma once

#include <windows.h>

#include <map>
#include <tuple>

#include "platform/notification_area.h"
#include "platform/trace.h"
#include "platform/win32/scoped.h"

namespace unw {

class Win32FormView;

// NotificationArea service: the tray icon of the main window.
class Win32NotificationArea : public NotificationArea {
 public:
  Win32NotificationArea(Trace& trace, Win32FormView& view);
  ~Win32NotificationArea() override;
  Win32NotificationArea(const Win32NotificationArea&) = delete;
  Win32NotificationArea& operator=(const Win32NotificationArea&) = delete;

  long NotifyIcon(uint32_t message, const TrayIconData& data) override;
  bool ShellFileVersionMS(uint32_t& versionMS) override;
  std::uintptr_t HookWindow(std::uintptr_t hwnd, WindowProc proc) override;
  void UnhookWindow(std::uintptr_t hwnd, std::uintptr_t previous) override;
  std::intptr_t CallPrevious(std::uintptr_t previous, std::uintptr_t hwnd, uint32_t msg,
                             std::uintptr_t wParam, std::intptr_t lParam) override;
  uint32_t TaskbarCreatedMessage() override { return taskbarCreated_; }
  std::uintptr_t IconHandle(int set, int element) override;

  // The tray's icon size in pixels at `dpi`.
  static int TrayIconSize(UINT dpi);

 private:
  static LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  Win32FormView& view_;
  // The core asks for it with every message of the main window: register once.
  const uint32_t taskbarCreated_;
  // Icons by (set, element, size in pixels), kept for the whole run: the
  // shell holds on to the handle last sent.
  std::map<std::tuple<int, int, int>, win32::ScopedIcon> icons_;
};

}  // namespace unw
