// The settings record: the working copies of the persisted settings, and the
// one table that gives each setting its name, default and valid range.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "i18n/texts.h"

namespace unw {

struct Settings {
  int32_t Hours = 0;
  int16_t Minutes = 0;
  int16_t Seconds = 0;
  int16_t BreakMinutes = 0;
  int16_t BreakSeconds = 0;
  int16_t SnoozeMinutes = 0;
  int16_t SnoozeSeconds = 0;
  int16_t NumberOfSnooze = 0;
  int16_t AlertMeBy = 0;
  int16_t AudioType = 0;
  int16_t SelectedSound = 0;
  std::string CustomSound;
  int16_t TrayIcon = 0;
  int16_t LockWorkstationOnBreak = 0;
  int16_t ActivateScreenSaver = 0;
  int16_t StartTimerOnLaunch = 0;
  int16_t BalloonTipsEnabled = 0;
  int16_t AlwaysOnTop = 0;
  int16_t HideWhenMinimized = 0;
  int16_t LaunchMinimized = 0;
  int16_t LaunchOnStartup = 0;
  // What the program does about the person and the machine.
  int16_t HoldDuringFullScreen = 0;  // a due alert waits while a full-screen program is in front
  int16_t SleepCountsAsBreak = 0;    // sleep and lock as long as a break count as one
  int16_t IdleCountsAsBreak = 0;     // no input for as long as a break counts as one
  // Control over time.
  int16_t WorkingHoursEnabled = 0;  // remind only during working hours
  std::string WorkingHours;         // per weekday, see settings/working_hours.h
  std::string PausedUntil;          // the end of a timed pause (UTC), blank when none
  int16_t KeepHistory = 0;          // the history of the day is recorded
  // A due alert waits while the camera or microphone is on, while Windows is set not to disturb,
  // while one of these programs runs ("POWERPNT.EXE;obs64.exe").
  int16_t HoldDuringCalls = 0;
  int16_t HoldDuringDoNotDisturb = 0;
  std::string HoldForPrograms;
  // Short breaks between the long ones: every ShortBreakMinutes of work, ShortBreakSeconds long,
  // with a soft sound at their start and end; a heads-up HeadsUpSeconds before a break of either
  // kind (0: none).
  int16_t ShortBreaks = 0;
  int16_t ShortBreakMinutes = 0;
  int16_t ShortBreakSeconds = 0;
  int16_t ShortBreakSound = 0;
  int16_t HeadsUpSeconds = 0;
  // The break screen: the long break (BreakScreen) and short breaks (ShortBreakScreen) shown on
  // windows that cover every monitor instead of the small break windows; StrictBreaks takes its
  // ways to postpone or skip away.
  int16_t BreakScreen = 0;
  int16_t ShortBreakScreen = 0;
  int16_t StrictBreaks = 0;
  // An idea of something to do in each break; the user's own ideas (settings/idea_list.h) in place
  // of the built-in ones when there are any.
  int16_t BreakIdeas = 0;
  std::string CustomIdeas;
  // How the windows look: 0 as Windows is set for apps, 1 light, 2 dark (high contrast wins).
  int16_t Theme = 0;
  // The language the windows speak ("de", "zh-CN"); empty: the first of the user's Windows
  // languages the program has, else English.
  std::string Language;
};

// One stored setting. Exactly one of the three member pointers is set.
struct SettingInfo {
  const char* name;
  const char* defaultText;  // stored on the first start, and for a value that cannot be used
  int lo, hi;               // valid range
  int alsoValid;            // one more valid value outside the range, or lo
  int16_t Settings::*int16 = nullptr;
  int32_t Settings::*int32 = nullptr;
  std::string Settings::*text = nullptr;
  // A text setting with a form of its own: the text as it should be stored, repaired where parts
  // of it cannot be used (the rest kept).
  std::string (*repairText)(const std::string& stored) = nullptr;

  bool InRange(long v) const { return (v >= lo && v <= hi) || v == alsoValid; }
  // The working copy of a number setting, and its assignment.
  long Get(const Settings& s) const { return int32 ? long{s.*int32} : long{s.*int16}; }
  void Set(Settings& s, long v) const {
    if (int32)
      s.*int32 = static_cast<int32_t>(v);
    else
      s.*int16 = static_cast<int16_t>(v);
  }
};

// Where `given` reminders stand against the limit NumberOfSnooze (`limit`, 99 for none): 0 more
// may follow, 1 this is the last, 2 none are left. The prompt's icon, the balloon's icon and the
// beep follow it.
int SnoozeStep(int16_t limit, int16_t given);

// A setting named by its working copy (&Settings::AlwaysOnTop): the table gives its name.
struct SettingRef {
  constexpr SettingRef(int16_t Settings::*m) : int16(m) {}
  constexpr SettingRef(int32_t Settings::*m) : int32(m) {}
  constexpr SettingRef(std::string Settings::*m) : text(m) {}
  int16_t Settings::*int16 = nullptr;
  int32_t Settings::*int32 = nullptr;
  std::string Settings::*text = nullptr;
};

// Every setting, in the order they are loaded.
std::span<const SettingInfo> SettingsTable();
const SettingInfo* FindSetting(const std::string& name);
// A setting that must exist.
const SettingInfo& Setting(const std::string& name);
const SettingInfo& Setting(SettingRef setting);

// The store keeps an empty text as a blank (a value it can tell from a missing one), and the
// working copy of a text setting holds what the store holds.
inline std::string StoredText(const std::string& text) {
  return text.empty() ? " " : text;
}

// What the user is told when the store refuses to keep a setting.
inline constexpr const char* kNotSavedText =
    NT("Your settings could not be saved. The values shown stay in effect until Unwindle ends.");

}  // namespace unw
