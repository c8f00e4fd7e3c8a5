// A fresh program on the fake back end for each test, with helpers to plant
// settings and read what the user would see.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/frm_timer.h"
#include "platform/fake/sim.h"
#include "tray/tray_record.h"

namespace unw {

class ProgramTest : public ::testing::Test {
 protected:
  // Plants the stored settings: the defaults, with `overrides` on top.
  void Plant(const std::map<std::string, std::string>& overrides) {
    std::map<std::string, std::string> values = {
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
        {"StartTimerOnLaunch", "0"},
        {"BalloonTipsEnabled", "1"},
        {"AlwaysOnTop", "0"},
        {"HideWhenMinimized", "1"},
        {"LaunchMinimized", "0"},
        {"LaunchOnStartup", "0"},
    };
    for (const auto& [k, v] : overrides) values[k] = v;
    for (const auto& [k, v] : values) PlantValue(k, v);
  }
  void PlantValue(const std::string& name, const std::string& text) {
    sim.fake.registry.PlantText(kHkeyCurrentUser, kSettingsKey, name, text);
  }
  std::string Stored(const std::string& name) {
    return sim.fake.registry.Text(kHkeyCurrentUser, kSettingsKey, name).value_or("<missing>");
  }
  FrmTimer& main() { return sim.app().frmTimer(); }
  std::string Display() { return main().TimeRemaining(); }
  std::string Tip() { return std::string(ShownText(sim.app().trayIconData.szTip)); }
  bool TickRunning() { return sim.fake.loop.IsTimerRunning(main().Ctl("tmrMain")); }
  std::string Tooltip(const char* control) { return main().Ctl(control).toolTip(); }
  bool Enabled(const char* control) { return main().Ctl(control).enabled(); }

  Sim sim;
};

}  // namespace unw
