// Recorded stand-ins for the notification area, the sound services and the
// system metrics.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "backends/fake/fake_event_loop.h"
#include "platform/notification_area.h"
#include "platform/sound.h"
#include "platform/system_metrics.h"
#include "platform/trace.h"

namespace unw {

// The shell's side of the icon as a person sees it: which icon shows, its picture and tooltip,
// the notices and whether one is on the screen.
class FakeNotificationArea : public NotificationArea {
 public:
  explicit FakeNotificationArea(Trace& trace) : trace_(trace) {}
  bool ShowIcon(std::uintptr_t window, std::uintptr_t picture, const std::string& tip) override;
  bool RemoveIcon(std::uintptr_t window) override;
  bool ShowNotice(std::uintptr_t window, const std::string& title, const std::string& text,
                  NoticeKind kind) override;
  bool TakeDownNotice(std::uintptr_t window) override;
  bool NoticesAllowed() override { return noticesAllowed; }
  bool UserAllowsNotices() override { return userAllowsNotices; }
  bool IconsShown() override { return iconsShown; }
  bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) override;
  void Unsubscribe(std::uintptr_t window) override;
  // Handles encode the picture: 0x10000 + set * 0x100 + element.
  std::uintptr_t IconHandle(int set, int element) override;
  static int SetOf(std::uintptr_t icon) { return static_cast<int>((icon - 0x10000) >> 8); }
  static int ElementOf(std::uintptr_t icon) { return static_cast<int>(icon & 0xff); }

  // The user (or the shell) acts on the icon: the subscribed window hears of it.
  void Raise(TrayEvent event);

  // Whether the desktop has a place for the icons at all.
  bool iconsShown = true;
  // Windows whose icon the shell shows now.
  std::set<std::uintptr_t> icons;
  // How often an icon was added (the first time, and again after a new taskbar).
  int adds = 0;
  // The picture and tooltip last shown (kept after the icon goes).
  std::uintptr_t picture = 0;
  std::string tip;
  // Every picture shown, in order (the same picture shown again counts again).
  std::vector<std::uintptr_t> shown;
  struct Notice {
    std::string title, text;
    NoticeKind kind;
  };
  // Every notice shown, and whether one is on the screen now (a notice stays until it is
  // replaced or taken down, or its icon goes).
  std::vector<Notice> notices;
  int balloonsShown = 0;
  bool balloonOnScreen = false;
  // Whether the shell shows notices at all.
  bool noticesAllowed = true;
  // The user's own switch for notices.
  bool userAllowsNotices = true;

 private:
  Trace& trace_;
  std::function<void(TrayEvent)> sink_;
  std::uintptr_t window_ = 0;
};

class FakeSoundPlayer : public SoundPlayer {
 public:
  // Carries the fifteen built-in clips and the short break's two; files are read on `loop`'s
  // virtual clock.
  FakeSoundPlayer(Trace& trace, FakeEventLoop& loop);
  std::string ClipBytes(const std::string& id) override;
  void Stop() override;
  long PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) override;
  bool PlayBeep(Beep kind) override;
  void ReadFileAsync(const std::string& path, size_t maxBytes,
                     std::function<void(bool ok, std::string bytes)> done) override;
  EventLoop& loop() override;
  bool BeepsAreSystemSounds() override { return systemBeeps; }

  // What was asked for: a wave by the name it came with (a built-in clip's by its id), or a stop
  // (no name).
  enum class What { kWave, kStop };
  struct Played {
    std::string name;
    What what;
    long result;   // what the call reported
    bool audible;  // whether anything could be heard
  };
  std::vector<Played> played;
  std::vector<Beep> beeps;
  // Whether the beeps are the system's sound scheme, or tones of the player's own.
  bool systemBeeps = true;
  // The built-in clips the program carries, by resource name: each a small wave of its own that
  // the system plays.
  std::map<std::string, std::string> clips;
  // A file on the fake disk. Whether the real system would play it is the test's word: the fake
  // never asks the program's own judgement (CanPlayWave), so that a fault there shows.
  struct File {
    std::string bytes;
    bool plays = false;  // the system plays these bytes
    bool answers =
        true;            // false: opening or reading it never ends (a device, a pipe, a lost share)
    int64_t readMs = 0;  // how long a read of it takes
  };
  std::map<std::string, File> files;
  // Every read the program asked for, by path, in order.
  std::vector<std::string> reads;
  // Reads of files that do not answer, still waiting.
  size_t waitingReads() const { return held_.size(); }
  // The waiting reads of `path` end now, with the file as it is then (the share came back).
  void Answer(const std::string& path);
  // A short wave file that plays.
  static std::string Wave();

 private:
  struct Read {
    std::string path;
    size_t maxBytes;
    std::function<void(bool, std::string)> done;
  };
  // Ends `read` `ms` from now with the file as it is then.
  void Finish(Read read, int64_t ms);

  Trace& trace_;
  FakeEventLoop& loop_;
  std::vector<Read> held_;
  std::set<std::string> playable_;  // the clips, and the bytes read from files that play
};

class FakeSystemMetrics : public SystemMetrics {
 public:
  FakeSystemMetrics();
  bool ReadFonts(SystemFonts& fonts) override;

  SystemFonts fonts;
  bool fail = false;
};

}  // namespace unw
