// The notification area over Shell_NotifyIconW, the shell library's version,
// and the subclassing of the owner window that turns the icon's callback
// messages into the program's tray events.
#pragma once

#include <windows.h>

#include <map>
#include <tuple>

#include "platform/notification_area.h"
#include "platform/trace.h"
#include "backends/win32/scoped.h"

namespace unw {

class Win32FormView;

// NotificationArea service: the tray icon of the main window.
class Win32NotificationArea : public NotificationArea {
 public:
  Win32NotificationArea(Trace& trace, Win32FormView& view);
  ~Win32NotificationArea() override;
  Win32NotificationArea(const Win32NotificationArea&) = delete;
  Win32NotificationArea& operator=(const Win32NotificationArea&) = delete;

  long NotifyIcon(TrayCommand command, const TrayIconData& data) override;
  bool ShellFileVersionMS(uint32_t& versionMS) override;
  bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) override;
  void Unsubscribe(std::uintptr_t window) override;
  std::uintptr_t IconHandle(int set, int element) override;

  // The private message the shell sends the icon's mouse and balloon events with.
  static constexpr UINT kCallbackMessage = WM_USER + 1;
  // The event a callback's lParam stands for; false for those the program ignores
  // (mouse moves, button presses, balloon shown or hidden).
  static bool EventOf(LPARAM lParam, TrayEvent& event);

  // The tray's icon size in pixels at `dpi`.
  static int TrayIconSize(UINT dpi);

 private:
  static LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  Win32FormView& view_;
  // Icons by (set, element, size in pixels), kept for the whole run: the
  // shell holds on to the handle last sent.
  std::map<std::tuple<int, int, int>, win32::ScopedIcon> icons_;
};

}  // namespace unw
