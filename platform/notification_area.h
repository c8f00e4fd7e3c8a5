// The notification area (system tray): the program's one icon, and the
// user's actions on it delivered as neutral events.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/tray_record.h"

namespace unw {

// What the program asks of the shell for its icon.
enum class TrayCommand : uint32_t { kAdd = 0, kModify = 1, kDelete = 2, kSetVersion = 4 };

// The trace's name of a command.
inline const char* TrayCommandName(TrayCommand c) {
  switch (c) {
    case TrayCommand::kAdd:
      return "add";
    case TrayCommand::kModify:
      return "modify";
    case TrayCommand::kDelete:
      return "delete";
    case TrayCommand::kSetVersion:
      return "setversion";
  }
  return "?";
}

// What the user (or the shell) did to the icon.
enum class TrayEvent {
  kLeftClick,  // the left button went up over the icon
  kLeftDoubleClick,
  kRightClick,  // the right button went up over the icon
  kRightDoubleClick,
  kBalloonClicked,  // the user clicked the balloon notice
  kBalloonEnded,    // the balloon closed without a click (time-out or its close button)
  kRecreated,       // the taskbar was created anew: the icon is gone with the old one
};

class NotificationArea {
 public:
  virtual ~NotificationArea() = default;
  // Sends the record to the shell, laid out as its cbSize says; non-zero on success.
  virtual long NotifyIcon(TrayCommand command, const TrayIconData& data) = 0;
  // The high and low words of the shell library's file version (dwFileVersionMS); false when
  // the version information cannot be read.
  virtual bool ShellFileVersionMS(uint32_t& versionMS) = 0;
  // From now on, events of the icon owned by `window` go to `sink`; false when they cannot.
  virtual bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) = 0;
  // No more events of that window's icon; harmless when none were subscribed.
  virtual void Unsubscribe(std::uintptr_t window) = 0;
  // Handle of picture `element` of icon set `set` (0 clock .. 4 traffic lights) at the tray's
  // icon size; 0 when there is no such picture.
  virtual std::uintptr_t IconHandle(int set, int element) = 0;
};

}  // namespace unw
