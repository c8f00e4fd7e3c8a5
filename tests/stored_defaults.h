// What a first start stores: every setting as text.
#pragma once

#include <map>
#include <string>

namespace unw {

inline const std::map<std::string, std::string> kStoredDefaults = {
    {"Hours", "1"},
    {"Minutes", "0"},
    {"Seconds", "0"},
    {"BreakMinutes", "10"},
    {"BreakSeconds", "0"},
    {"SnoozeMinutes", "10"},
    {"SnoozeSeconds", "0"},
    {"NumberOfSnooze", "3"},
    {"AlertMeBy", "0"},
    {"AudioType", "2"},
    {"SelectedSound", "1"},
    {"CustomSound", " "},
    {"TrayIcon", "0"},
    {"LockWorkstationOnBreak", "0"},
    {"ActivateScreenSaver", "0"},
    {"StartTimerOnLaunch", "1"},
    {"BalloonTipsEnabled", "1"},
    {"AlwaysOnTop", "1"},
    {"HideWhenMinimized", "1"},
    {"LaunchMinimized", "0"},
    {"LaunchOnStartup", "1"},
    {"HoldDuringFullScreen", "1"},
    {"SleepCountsAsBreak", "1"},
    {"IdleCountsAsBreak", "0"},
    {"WorkingHoursEnabled", "0"},
    {"WorkingHours",
     "Mon=09:00-17:00;Tue=09:00-17:00;Wed=09:00-17:00;Thu=09:00-17:00;Fri=09:00-17:00;Sat=;Sun="},
    {"PausedUntil", " "},
    {"KeepHistory", "1"},
    {"HoldDuringCalls", "1"},
    {"HoldDuringDoNotDisturb", "1"},
    {"HoldForPrograms", " "},
    {"ShortBreaks", "0"},
    {"ShortBreakMinutes", "20"},
    {"ShortBreakSeconds", "20"},
    {"ShortBreakSound", "1"},
    {"HeadsUpSeconds", "0"},
    {"BreakScreen", "0"},
    {"ShortBreakScreen", "0"},
    {"StrictBreaks", "0"},
    {"BreakIdeas", "1"},
    {"CustomIdeas", " "},
    {"Theme", "0"},
    {"Language", " "},
};

}  // namespace unw
