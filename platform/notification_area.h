// The notification area (system tray): the program's one icon with its picture and tooltip, the
// notices shown beside it, and the user's actions on it delivered as neutral events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace unw {

// The symbol a notice shows beside its text.
enum class NoticeKind { kNone, kInformation, kWarning, kError };

// What the user (or the shell) did to the icon.
enum class TrayEvent {
  kLeftClick,  // the left button went up over the icon
  kLeftDoubleClick,
  kRightClick,  // the right button went up over the icon
  kRightDoubleClick,
  kNoticeClicked,  // the user clicked the notice
  kMenuOpening,    // the shell shows the icon's menu itself (no popup of the program's) and
                   // is about to: its items must be as the program would show them now
  kRecreated,      // the taskbar was created anew: the icon is gone with the old one
};

// Each call names the window that owns the icon (one icon per window). A call that fails
// returns false and changes nothing the user sees.
class NotificationArea {
 public:
  virtual ~NotificationArea() = default;
  // The icon of `window` shows `picture` (an IconHandle) with the tooltip `tip`: added when it is
  // not shown yet (the first time, after RemoveIcon, after kRecreated), else changed. A tip
  // ends its lines with "\n" or "\r\n"; the back end cuts what the shell cannot show.
  virtual bool ShowIcon(std::uintptr_t window, std::uintptr_t picture, const std::string& tip) = 0;
  // The icon of `window` goes, with its notice.
  virtual bool RemoveIcon(std::uintptr_t window) = 0;
  // A notice beside the icon of `window`, shown once: later ShowIcon calls do not repeat it.
  // It stays until the shell's own time-out, a new notice or TakeDownNotice; its end is never
  // reported (the program keeps its own time), only a click on it (kNoticeClicked).
  virtual bool ShowNotice(std::uintptr_t window, const std::string& title, const std::string& text,
                          NoticeKind kind) = 0;
  // A notice of `window` still on the screen goes; harmless when none is.
  virtual bool TakeDownNotice(std::uintptr_t window) = 0;
  // Whether the shell shows notices at all (its version); the user's own switch is apart.
  virtual bool NoticesAllowed() = 0;
  // Whether the user lets programs show notices (a system-wide switch; true unless it is set
  // off).
  virtual bool UserAllowsNotices() = 0;
  // Whether the desktop shows the notification area's icons now (some desktops have no place for
  // them); where it does not, a window sent there could not be found again.
  virtual bool IconsShown() { return true; }
  // From now on, events of the icon owned by `window` go to `sink`; false when they cannot.
  virtual bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) = 0;
  // No more events of that window's icon; harmless when none were subscribed.
  virtual void Unsubscribe(std::uintptr_t window) = 0;
  // Handle of picture `element` of icon set `set` (0 clock .. 4 traffic lights) at the tray's
  // icon size; 0 when there is no such picture.
  virtual std::uintptr_t IconHandle(int set, int element) = 0;
};

}  // namespace unw
