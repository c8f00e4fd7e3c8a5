#include "settings/settings.h"

#include <array>
#include <stdexcept>

#include "i18n/language.h"
#include "settings/working_hours.h"
#include "settings/idea_list.h"
#include "settings/program_list.h"

namespace unw {

namespace {

using S = Settings;

SettingInfo Text(const char* name, const char* def, std::string S::*m,
                 std::string (*repair)(const std::string&) = nullptr) {
  SettingInfo i{name, def, 0, 0, 0};
  i.text = m;
  i.repairText = repair;
  return i;
}

// A list of programs that names anything but plain file names is of no use as a whole.
std::string RepairProgramList(const std::string& stored) {
  return ProgramListUsable(stored) ? stored : "";
}

// A language the program cannot name goes back to following Windows (stored as " ", as every
// empty text is).
std::string RepairLanguage(const std::string& stored) {
  return stored == " " || LanguageTagUsable(stored) ? stored : "";
}

std::string RepairWorkingHours(const std::string& stored) {
  const WorkingHoursRead read = ReadWorkingHours(stored);
  return read.repaired ? FormatWorkingHours(read.hours) : stored;
}

SettingInfo Num(const char* name, const char* def, int lo, int hi, int16_t S::*m,
                int alsoValid = -32768) {
  SettingInfo i{name, def, lo, hi, alsoValid == -32768 ? lo : alsoValid};
  i.int16 = m;
  return i;
}

const std::array<SettingInfo, 43>& Table() {
  static const std::array<SettingInfo, 43> table = [] {
    SettingInfo hours{"Hours", "1", 0, 99, 0};
    hours.int32 = &S::Hours;
    return std::array<SettingInfo, 43>{
        Num("BalloonTipsEnabled", "1", 0, 1, &S::BalloonTipsEnabled),
        Num("AudioType", "2", 0, 3, &S::AudioType),
        Num("SelectedSound", "1", 0, 14, &S::SelectedSound),
        Text("CustomSound", "", &S::CustomSound),
        Num("AlertMeBy", "0", 0, 1, &S::AlertMeBy),
        Num("HideWhenMinimized", "1", 0, 1, &S::HideWhenMinimized),
        Num("AlwaysOnTop", "1", 0, 1, &S::AlwaysOnTop),
        Num("LockWorkstationOnBreak", "0", 0, 1, &S::LockWorkstationOnBreak),
        Num("LaunchOnStartup", "1", 0, 1, &S::LaunchOnStartup),
        Num("LaunchMinimized", "0", 0, 1, &S::LaunchMinimized),
        Num("StartTimerOnLaunch", "1", 0, 1, &S::StartTimerOnLaunch),
        hours,
        Num("Minutes", "0", 0, 59, &S::Minutes),
        Num("Seconds", "0", 0, 59, &S::Seconds),
        Num("SnoozeMinutes", "10", 0, 59, &S::SnoozeMinutes),
        Num("SnoozeSeconds", "0", 0, 59, &S::SnoozeSeconds),
        Num("NumberOfSnooze", "3", 0, 9, &S::NumberOfSnooze, 99),  // 99: no limit
        Num("BreakMinutes", "10", 0, 59, &S::BreakMinutes),
        Num("BreakSeconds", "0", 0, 59, &S::BreakSeconds),
        Num("TrayIcon", "0", 0, 4, &S::TrayIcon),
        Num("ActivateScreenSaver", "0", 0, 1, &S::ActivateScreenSaver),
        Num("HoldDuringFullScreen", "1", 0, 1, &S::HoldDuringFullScreen),
        Num("SleepCountsAsBreak", "1", 0, 1, &S::SleepCountsAsBreak),
        Num("IdleCountsAsBreak", "0", 0, 1, &S::IdleCountsAsBreak),
        Num("WorkingHoursEnabled", "0", 0, 1, &S::WorkingHoursEnabled),
        Text("WorkingHours", kDefaultWorkingHoursText, &S::WorkingHours, RepairWorkingHours),
        Text("PausedUntil", "", &S::PausedUntil),
        Num("KeepHistory", "1", 0, 1, &S::KeepHistory),
        Num("HoldDuringCalls", "1", 0, 1, &S::HoldDuringCalls),
        Num("HoldDuringDoNotDisturb", "1", 0, 1, &S::HoldDuringDoNotDisturb),
        Text("HoldForPrograms", "", &S::HoldForPrograms, RepairProgramList),
        Num("ShortBreaks", "0", 0, 1, &S::ShortBreaks),
        Num("ShortBreakMinutes", "20", 1, 120, &S::ShortBreakMinutes),
        Num("ShortBreakSeconds", "20", 5, 600, &S::ShortBreakSeconds),
        Num("ShortBreakSound", "1", 0, 1, &S::ShortBreakSound),
        Num("HeadsUpSeconds", "0", 5, 120, &S::HeadsUpSeconds, 0),  // 0: no heads-up
        Num("BreakScreen", "0", 0, 1, &S::BreakScreen),
        Num("ShortBreakScreen", "0", 0, 1, &S::ShortBreakScreen),
        Num("StrictBreaks", "0", 0, 1, &S::StrictBreaks),
        Num("BreakIdeas", "1", 0, 1, &S::BreakIdeas),
        Text("CustomIdeas", "", &S::CustomIdeas, RepairIdeaList),  // empty: the built-in ideas
        Num("Theme", "0", 0, 2, &S::Theme),
        Text("Language", "", &S::Language, RepairLanguage),
    };
  }();
  return table;
}

}  // namespace

int SnoozeStep(int16_t limit, int16_t given) {
  if (limit == 99) return 0;
  const int last = limit - 1;
  if (given < last) return 0;
  return given == last ? 1 : 2;
}

std::span<const SettingInfo> SettingsTable() {
  return Table();
}

const SettingInfo* FindSetting(const std::string& name) {
  for (const auto& s : Table()) {
    if (name == s.name) return &s;
  }
  return nullptr;
}

const SettingInfo& Setting(const std::string& name) {
  const SettingInfo* info = FindSetting(name);
  if (!info) throw std::logic_error("no setting " + name);
  return *info;
}

const SettingInfo& Setting(SettingRef setting) {
  for (const auto& s : Table()) {
    if ((setting.int16 && s.int16 == setting.int16) ||
        (setting.int32 && s.int32 == setting.int32) || (setting.text && s.text == setting.text))
      return s;
  }
  throw std::logic_error("a working copy with no setting");
}

}  // namespace unw
