// A fresh program on the fake back end for each test, with helpers to plant
// settings and read what the user would see.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>

#include "app/frm_timer.h"
#include "backends/fake/sim.h"
#include "stored_defaults.h"

namespace unw {

using Values = std::map<std::string, std::string>;

// Settings written as words "Hours=0 Minutes=10": a name, '=' and the text stored for it.
inline Values Planted(const std::string& words) {
  Values values;
  std::istringstream in(words);
  for (std::string word; in >> word;) {
    const size_t eq = word.find('=');
    // A word without '=' is a slip in the test, not a setting to plant.
    if (eq == std::string::npos) {
      ADD_FAILURE() << "not Name=value: " << word;
      continue;
    }
    values[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return values;
}

// Plants the stored settings of `s`: the defaults, but a program that waits for Start, stays below
// other windows and does not start at sign-in unless a test says otherwise, with each of `layers`
// on top in turn (a test's base, then a case's own).
inline void Plant(Sim& s, std::initializer_list<Values> layers) {
  Values values = kStoredDefaults;
  values["StartTimerOnLaunch"] = "0";
  values["AlwaysOnTop"] = "0";
  values["LaunchOnStartup"] = "0";
  for (const Values& layer : layers)
    for (const auto& [k, v] : layer) values[k] = v;
  for (const auto& [k, v] : values) s.fake.settings.Plant(k, v);
}

// How many of the trace's lines hold "\t" + `line`.
inline int TraceCount(Sim& s, const std::string& line) {
  int n = 0;
  for (const auto& l : s.fake.trace.lines()) n += l.find("\t" + line) != std::string::npos;
  return n;
}

// A stored setting of `s` ("<missing>" when there is none), and the tooltip its tray icon holds.
inline std::string StoredIn(Sim& s, const std::string& name) {
  return s.fake.settings.Text(name).value_or("<missing>");
}
inline std::string TipOf(Sim& s) {
  return s.app().tray.tip();
}

class ProgramTest : public ::testing::Test {
 protected:
  void Plant(const Values& overrides) { unw::Plant(sim, {overrides}); }
  static void Plant(Sim& s, std::initializer_list<Values> layers) { unw::Plant(s, layers); }
  // Plants `base` with `overrides` on top and starts the program.
  void Start(const Values& base = {}, const Values& overrides = {}) {
    unw::Plant(sim, {base, overrides});
    sim.Start();
  }
  void PlantValue(const std::string& name, const std::string& text) {
    sim.fake.settings.Plant(name, text);
  }
  std::string Stored(const std::string& name) { return StoredIn(sim, name); }
  FrmTimer& main() { return sim.app().frmTimer(); }
  // What the main window shows, read from its labels.
  std::string Display() {
    return main().Ctl("lblHours").caption() + ":" + main().Ctl("lblMinutes").caption() + ":" +
           main().Ctl("lblSeconds").caption();
  }
  // The tooltip the tray icon holds, and the tooltip and picture the shell shows.
  std::string Tip() { return TipOf(sim); }
  std::string SentTip() { return sim.fake.tray.tip; }
  std::uintptr_t SentIcon() { return sim.fake.tray.picture; }
  int SentPicture() { return FakeNotificationArea::ElementOf(SentIcon()); }
  // A timer of the break cycle's own.
  bool Running(const char* timer) { return sim.fake.loop.IsTimerRunning("BreakCycle", timer); }
  bool TickRunning() { return Running("tmrMain"); }
  std::string Tooltip(const char* control) { return main().Ctl(control).toolTip(); }
  bool Enabled(const char* control) { return main().Ctl(control).enabled(); }
  bool Loaded(const char* form) { return sim.FindForm(form) != nullptr; }
  CycleState State() { return sim.app().cycle.state(); }
  int Traced(const std::string& line) { return TraceCount(sim, line); }
  // The sounds and beeps heard so far.
  size_t Sounds() { return sim.fake.sound.played.size() + sim.fake.sound.beeps.size(); }
  // The sounds played audibly so far (a preview's silent stop is none).
  size_t Heard() {
    const auto& played = sim.fake.sound.played;
    return std::count_if(played.begin(), played.end(), [](const auto& p) { return p.audible; });
  }
  // The text of the one message box open, which the user then answers with `answer` (none: left
  // open); "<n boxes>" when not exactly one is open.
  std::string Told(MessageAnswer answer = MessageAnswer::kOk) {
    if (sim.fake.dialogs.open.size() != 1)
      return "<" + std::to_string(sim.fake.dialogs.open.size()) + " boxes>";
    const std::string text = sim.fake.dialogs.open.back()->text;
    if (answer != MessageAnswer::kNone) sim.Answer(answer);
    return text;
  }

  Sim sim;
};

}  // namespace unw
