// A fresh program on the fake back end for each test, with helpers to plant
// settings and read what the user would see.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/frm_timer.h"
#include "platform/fake/sim.h"
#include "stored_defaults.h"
#include "platform/tray_record.h"

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
  // What the main window shows, read from its labels.
  std::string Display() {
    return main().Ctl("lblHours").caption() + ":" + main().Ctl("lblMinutes").caption() + ":" +
           main().Ctl("lblSeconds").caption();
  }
  // The tooltip in the tray record, and the one last sent to the shell.
  std::string Tip() { return std::string(ShownText(sim.app().tray.record().szTip)); }
  const TrayIconData& Sent() { return sim.fake.tray.sent.back().data; }
  std::string SentTip() { return std::string(ShownText(Sent().szTip)); }
  int SentPicture() { return FakeNotificationArea::ElementOf(Sent().hIcon); }
  // A timer of the break cycle's own.
  bool Running(const char* timer) { return sim.fake.loop.IsTimerRunning("BreakCycle", timer); }
  bool TickRunning() { return Running("tmrMain"); }
  std::string Tooltip(const char* control) { return main().Ctl(control).toolTip(); }
  bool Enabled(const char* control) { return main().Ctl(control).enabled(); }
  bool Loaded(const char* form) { return sim.FindForm(form) != nullptr; }
  CycleState State() { return sim.app().cycle.state(); }

  Sim sim;
};

}  // namespace unw
