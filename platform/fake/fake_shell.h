// Recorded stand-ins for the notification area, the sound services and the
// system metrics.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
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
  long NotifyIcon(TrayCommand command, const TrayIconData& data) override;
  bool ShellFileVersionMS(uint32_t& versionMS) override;
  bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) override;
  void Unsubscribe(std::uintptr_t window) override;
  // Handles encode the picture: 0x10000 + set * 0x100 + element.
  std::uintptr_t IconHandle(int set, int element) override;
  static int SetOf(std::uintptr_t icon) { return static_cast<int>((icon - 0x10000) >> 8); }
  static int ElementOf(std::uintptr_t icon) { return static_cast<int>(icon & 0xff); }

  // The user (or the shell) acts on the icon: the subscribed window hears of it.
  void Raise(TrayEvent event);

  struct Sent {
    TrayCommand command;
    TrayIconData data;
  };
  std::vector<Sent> sent;
  // Icons the shell shows now, by (hWnd, uID).
  std::set<std::pair<std::uintptr_t, uint32_t>> icons;
  // Balloons the shell was asked to show, and whether one is on the screen now (a balloon
  // stays until it is replaced or taken down).
  int balloonsShown = 0;
  bool balloonOnScreen = false;
  // The shell library's version; -1 when it cannot be read.
  int shellMajor = 6;

 private:
  Trace& trace_;
  std::function<void(TrayEvent)> sink_;
  std::uintptr_t window_ = 0;
};

class FakeSoundPlayer : public SoundPlayer {
 public:
  // Carries the fifteen built-in clips.
  explicit FakeSoundPlayer(Trace& trace);
  long PlayClip(const std::string& name, uint32_t flags) override;
  long MessageBeep(uint32_t type) override;
  bool ReadFileStart(const std::string& path, size_t maxBytes, std::string& bytes) override;

  struct Played {
    std::string name;
    uint32_t flags;
    long result;   // what the call reported
    bool audible;  // whether anything could be heard
  };
  std::vector<Played> played;
  std::vector<uint32_t> beeps;
  // Resource names the program carries, and the files that exist with their contents.
  std::set<std::string> resources;
  std::map<std::string, std::string> files;
  // A short wave file that plays.
  static std::string Wave();

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
