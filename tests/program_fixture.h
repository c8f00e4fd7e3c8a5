// A fresh program on the fake back end for each test, with helpers to plant
// settings and read what the user would see.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/frm_timer.h"
#include "platform/fake/sim.h"
#include "stored_defaults.h"
#include "tray/tray_record.h"

namespace unw {

class ProgramTest : public ::testing::Test {
 protected:
  // Plants the stored settings: the defaults, with `overrides` on top.
  void Plant(const std::map<std::string, std::string>& overrides) {
    // The stored defaults, but a program that waits for Start, stays below other
    // windows and leaves the Run key alone unless a test says otherwise.
    std::map<std::string, std::string> values = kStoredDefaults;
    values["StartTimerOnLaunch"] = "0";
    values["AlwaysOnTop"] = "0";
    values["LaunchOnStartup"] = "0";
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
