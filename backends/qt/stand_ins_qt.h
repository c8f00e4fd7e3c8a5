// The smallest honest versions of the system services the program needs beside its windows, for
// the desktop program until the Linux system services (settings file, history files, instance
// socket, presence, sound, start-up entry) take their place in main_qt.cpp: settings, history
// and start-up switch held in memory for the run, a presence that never sees the user away, no
// second instance, the desktop's own beep for every sound.
#pragma once

#include <QObject>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/calendar.h"
#include "platform/event_loop.h"
#include "platform/languages.h"
#include "platform/presence.h"
#include "platform/program_instance.h"
#include "platform/settings_storage.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/startup_launch.h"
#include "platform/storage.h"
#include "platform/workstation.h"

namespace unw::qt {

class MemorySettings : public SettingsStorage {
 public:
  SettingStatus Read(const std::string& name, std::string& text) override;
  SettingStatus Write(const std::string& name, const std::string& text) override;
  SettingStatus Remove(const std::string& name) override;

 private:
  std::map<std::string, std::string> values_;
};

class MemoryStartup : public StartupLaunch {
 public:
  bool TurnOn() override { return on_ = true; }
  bool TurnOff() override { return !(on_ = false); }
  bool IsOn() override { return on_; }

 private:
  bool on_ = false;
};

class MemoryStorage : public Storage {
 public:
  std::string DataFolder() override { return {}; }
  StorageStatus Read(const std::string& name, std::string& content) override;
  StorageStatus ReadPieces(const std::string& name,
                           const std::function<bool(std::string_view)>& piece) override;
  StorageStatus AppendDurably(const std::string& name, uint64_t& at,
                              std::string_view bytes) override;
  StorageStatus ReplaceAtomically(const std::string& name, std::string_view bytes) override;
  StorageStatus ReplaceInPieces(const std::string& name,
                                const std::function<bool(const PieceWriter&)>& produce) override;
  StorageStatus WriteNewFile(const std::string& path, std::string_view bytes) override;

 private:
  std::map<std::string, std::string> files_;
};

// Local time from the C library (TZ and the zone files), the time and date in the locale's form.
class LocalCalendar : public Calendar {
 public:
  int64_t UtcMs() override;
  LocalTime ToLocal(int64_t utcMs) override;
  int64_t FromLocal(const LocalTime& local) override;
  std::string ShortTime(int hour, int minute) override;
  std::string ShortDayMonth(int month, int day) override;
};

class QuietPresence : public Presence {
 public:
  void Subscribe(std::function<void(bool, AwayReason)>) override {}
  int64_t WallMs() override;
  int64_t IdleMs() override { return 0; }
  bool FullScreenInFront() override { return false; }
  bool CallOn() override { return false; }
  bool DoNotDisturb() override { return false; }
  std::string FirstRunning(const std::vector<std::string>&) override { return {}; }
  std::vector<std::string> RunningPrograms() override { return {}; }
  std::string ProgramFileSuffix() override { return {}; }
  ScreenRect PointerWorkArea() override;
};

class DesktopWorkstation : public Workstation {
 public:
  long LockWorkStation() override { return 0; }
  void StartScreenSaver(std::uintptr_t) override {}
  unsigned GetCaretBlinkTime() override;
  std::string AppPath() override;
  std::string AppExeName() override;
};

class BeepSound : public SoundPlayer {
 public:
  explicit BeepSound(EventLoop& loop) : loop_(loop) {}
  ~BeepSound() override;
  std::string ClipBytes(const std::string&) override { return {}; }
  void Stop() override {}
  long PlayWave(const std::string&, std::shared_ptr<const std::string>) override { return 0; }
  bool PlayBeep(Beep kind) override;
  void ReadFileAsync(const std::string& path, size_t maxBytes,
                     std::function<void(bool ok, std::string bytes)> done) override;
  EventLoop& loop() override { return loop_; }

 private:
  EventLoop& loop_;
  // Where a read's answer is handed back to the program's thread; the readers end before it.
  QObject answers_;
  std::vector<std::thread> readers_;
};

class DesktopShell : public Shell {
 public:
  bool OpenWebPage(std::uintptr_t owner, const std::string& url) override;
  // The desktop has no one system information program to open: the program says so.
  bool OpenSystemInformation() override { return false; }
  bool ProgramVersion(int& major, int& minor) override;
};

class EnvironmentLanguages : public Languages {
 public:
  std::vector<std::string> PreferredUiLanguages() override;
  std::vector<std::string_view> Catalogues() override { return {}; }
};

// The only program of the session: every start claims it, a command finds none running.
class SoleInstance : public ProgramInstance {
 public:
  bool Claim(bool) override { return true; }
  void Serve(InstanceRequests&, Trace&) override {}
  void StopServing() override {}
  Delivered Send(std::string_view, Patience,
                 const std::function<bool(std::string_view)>&) override {
    return {};
  }
  Started Start(std::string_view) override { return {}; }
  int64_t NowMs() override;
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

class StdConsole : public Console {
 public:
  void Out(std::string_view text) override;
  void Err(std::string_view text) override;
};

}  // namespace unw::qt
