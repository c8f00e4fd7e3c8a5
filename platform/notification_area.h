// The notification area (system tray) and the window-procedure hook that
// brings the icon's callback messages to the program.
#pragma once

#include <cstdint>
#include <functional>

#include "tray/tray_record.h"

namespace unw {

inline constexpr uint32_t kNimAdd = 0;
inline constexpr uint32_t kNimModify = 1;
inline constexpr uint32_t kNimDelete = 2;
inline constexpr uint32_t kNimSetVersion = 4;

// The trace's name of a notification-area message.
inline const char* NotifyMessageName(uint32_t message) {
  switch (message) {
    case kNimAdd:
      return "add";
    case kNimModify:
      return "modify";
    case kNimDelete:
      return "delete";
    case kNimSetVersion:
      return "setversion";
  }
  return "?";
}

// A window procedure as the core sees it.
using WindowProc = std::function<std::intptr_t(std::uintptr_t hwnd, uint32_t msg,
                                               std::uintptr_t wParam, std::intptr_t lParam)>;

class NotificationArea {
 public:
  virtual ~NotificationArea() = default;
  // Shell_NotifyIconA: sends the record, laid out as its cbSize says; non-zero on success.
  virtual long NotifyIcon(uint32_t message, const TrayIconData& data) = 0;
  // The high and low words of the shell library's file version (dwFileVersionMS); false when
  // the version information cannot be read.
  virtual bool ShellFileVersionMS(uint32_t& versionMS) = 0;
  // Replaces the window procedure of `hwnd` by `proc`; returns the previous one (0 on failure).
  virtual std::uintptr_t HookWindow(std::uintptr_t hwnd, WindowProc proc) = 0;
  // Puts `previous` back as the window procedure of `hwnd`.
  virtual void UnhookWindow(std::uintptr_t hwnd, std::uintptr_t previous) = 0;
  // Passes a message on to a saved window procedure (CallWindowProcA).
  virtual std::intptr_t CallPrevious(std::uintptr_t previous, std::uintptr_t hwnd, uint32_t msg,
                                     std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // The message the shell broadcasts when the taskbar is created anew.
  virtual uint32_t TaskbarCreatedMessage() = 0;
  // Handle of picture `element` of icon set `set` (0 clock .. 4 traffic lights) at the tray's
  // icon size; 0 when there is no such picture.
  virtual std::uintptr_t IconHandle(int set, int element) = 0;
};

}  // namespace unw
