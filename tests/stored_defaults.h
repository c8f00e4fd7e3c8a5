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
    {"HoldDuringCalls", "1"},
    {"HoldDuringDoNotDisturb", "1"},
    {"HoldForPrograms", " "},
};

}  // namespace unw
