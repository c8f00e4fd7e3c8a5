// The person and the machine on a Linux desktop:
// - away and back from logind on the system bus (PrepareForSleep: sleep; the session's Lock and
//   Unlock, its LockedHint: locked; its Active: switched away) and from the session's screen saver
//   (ActiveChanged of org.freedesktop.ScreenSaver and GNOME's: locked);
// - the idle time from the X server's screen saver extension, or from GNOME's
//   org.gnome.Mutter.IdleMonitor where there is no X server to ask (Wayland);
// - a full-screen program in front from the window manager's _NET_ACTIVE_WINDOW and its
//   _NET_WM_STATE_FULLSCREEN, on an X connection of the presence's own whose every request is
//   checked: a window that closed between two requests is an error reply, never the program's end;
// - Do Not Disturb from the notification service's Inhibited property, or GNOME's show-banners
//   switched off (read through the desktop portal);
// - a call from another process holding a camera (/dev/video*) or a sound card recording;
// - the running programs from /proc.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/presence.h"
#include "platform/trace.h"

namespace unw {

class PresenceListener;
struct XConnection;

class LinuxPresence : public Presence {
 public:
  struct Options {
    // The names of D-Bus connections the caller made (QDBusConnection::connectToBus); empty: the
    // system's and the session's buses.
    QString systemBus, sessionBus;
    // The X display; empty: $DISPLAY.
    std::string display;
    // Where the busy signs are read.
    std::string procRoot = "/proc", videoPrefix = "/dev/video", asoundRoot = "/proc/asound";
    // The work area of the monitor that holds the pointer, as the UI half knows the screens;
    // none: the X screen that holds it, whole.
    std::function<ScreenRect()> pointerWorkArea;
    // A Wayland session: idle time is the compositor's to tell, never XWayland's (which sees only
    // the input to X11 windows); none: $WAYLAND_DISPLAY says.
    std::optional<bool> wayland;
  };
  LinuxPresence(Trace& trace, Options options);
  explicit LinuxPresence(Trace& trace) : LinuxPresence(trace, Options()) {}
  ~LinuxPresence() override;
  LinuxPresence(const LinuxPresence&) = delete;
  LinuxPresence& operator=(const LinuxPresence&) = delete;

  // Listens from the calling thread's Qt loop.
  void Subscribe(std::function<void(bool away, AwayReason reason)> sink) override;
  int64_t WallMs() override;
  int64_t IdleMs() override;
  bool FullScreenInFront() override;
  bool CallOn() override;
  bool DoNotDisturb() override;
  std::string FirstRunning(const std::vector<std::string>& names) override;
  std::vector<std::string> RunningPrograms() override;
  std::string ProgramFileSuffix() override { return ""; }
  ScreenRect PointerWorkArea() override;
  // Full screen: an X server whose window manager names the active window. Do Not Disturb: a
  // notification service with the Inhibited property, or GNOME's switch through the portal.
  // Calls and programs: /proc.
  bool CanTell(BusySign sign) override;

 private:
  // What the desktop's switch says; none when no service tells it.
  std::optional<bool> QuietTime();
  // The X connection, made (again) when there is none or it broke; null when there is no server.
  XConnection* X();

  Trace& trace_;
  Options options_;
  std::unique_ptr<PresenceListener> listener_;
  std::unique_ptr<XConnection> x_;
  int64_t nextXTryMs_ = 0;
  bool callWas_ = false;
};

}  // namespace unw
