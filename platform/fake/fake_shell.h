// Recorded stand-ins for the notification area, the sound services and the
// system metrics.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/notification_area.h"
#include "platform/sound.h"
#include "platform/system_metrics.h"
#include "platform/trace.h"

namespace unw {

class FakeNotificationArea : public NotificationArea {
 public:
  explicit FakeNotificationArea(Trace& trace) : trace_(trace) {}
  long NotifyIcon(uint32_t message, const TrayIconData& data) override;
  bool ShellFileVersionMS(uint32_t& versionMS) override;
  std::uintptr_t HookWindow(std::uintptr_t hwnd, WindowProc proc) override;
  void UnhookWindow(std::uintptr_t hwnd, std::uintptr_t previous) override;
  std::intptr_t CallPrevious(std::uintptr_t previous, std::uintptr_t hwnd, uint32_t msg,
                             std::uintptr_t wParam, std::intptr_t lParam) override;
  uint32_t TaskbarCreatedMessage() override { return kTaskbarCreated; }
  // Handles encode the picture: 0x10000 + set * 0x100 + element.
  std::uintptr_t IconHandle(int set, int element) override;
  static int SetOf(std::uintptr_t icon) { return static_cast<int>((icon - 0x10000) >> 8); }
  static int ElementOf(std::uintptr_t icon) { return static_cast<int>(icon & 0xff); }

  // Delivers a message to the main window as the system would: through the hook if there is
  // one, else to the window's own procedure (recorded in `passedOn`).
  std::intptr_t Deliver(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                        std::intptr_t lParam);

  struct Sent {
    uint32_t message;
    TrayIconData data;
  };
  std::vector<Sent> sent;
  // Icons the shell shows now, by (hWnd, uID).
  std::set<std::pair<std::uintptr_t, uint32_t>> icons;
  // Messages that reached the window's own procedure.
  std::vector<uint32_t> passedOn;
  // The shell library's version; -1 when it cannot be read.
  int shellMajor = 6;
  static constexpr uint32_t kTaskbarCreated = 0xC123;
  static constexpr std::uintptr_t kOwnProc = 0xABC0;

 private:
  Trace& trace_;
  WindowProc hook_;
  std::uintptr_t hookedWindow_ = 0;
};

class FakeSoundPlayer : public SoundPlayer {
 public:
  // Carries the fifteen built-in clips.
  explicit FakeSoundPlayer(Trace& trace);
  long PlayClip(const std::string& name, uint32_t flags) override;
  long MessageBeep(uint32_t type) override;

  struct Played {
    std::string name;
    uint32_t flags;
    long result;
  };
  std::vector<Played> played;
  std::vector<uint32_t> beeps;
  // Resource names the program carries, and files that exist.
  std::set<std::string> resources;
  std::set<std::string> files;

 private:
  Trace& trace_;
};

class FakeSystemMetrics : public SystemMetrics {
 public:
  FakeSystemMetrics();
  long GetNonClientMetrics(NonClientMetricsData& m) override;
  int ScreenPixelsPerInchY() override { return dpi; }

  NonClientMetricsData metrics;
  bool fail = false;
  int dpi = 96;
};

}  // namespace unw
