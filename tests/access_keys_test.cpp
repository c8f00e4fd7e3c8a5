// Every window of the program, walked in English and in the build's German: each design name once
// per form, no two access keys alike within one menu (each submenu by itself) or one dialog, and
// in German no text left in English that the catalogue translates.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/frm_about.h"
#include "app/frm_break_ideas.h"
#include "app/frm_break_time_remaining.h"
#include "app/frm_hold_programs.h"
#include "app/frm_preferences.h"
#include "app/frm_restart_timer.h"
#include "app/frm_short_break.h"
#include "app/frm_break_screen_options.h"
#include "app/frm_short_breaks.h"
#include "app/frm_statistics.h"
#include "app/frm_unwindle.h"
#include "app/frm_working_hours.h"
#include "app_windows.h"
#include "program_fixture.h"

namespace unw {
namespace {

// The letter after the first single "&" ("&&" shows one "&"), upper case; 0 when none.
char KeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return static_cast<char>(std::toupper(caption[i + 1]));
    ++i;
  }
  return 0;
}

bool TakesKey(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
    case ControlKind::kLabel:
    case ControlKind::kFrame:
    case ControlKind::kMenu:
      return true;
    default:
      return false;
  }
}

// Captions that the program's design gives with the same letter: they keep it. A button that
// stands in the place of another (one of the two shows at a time) may share its letter too.
// Each group shares by itself.
const std::vector<std::pair<std::string, std::set<std::string>>> kSharedByDesign = {
    {"frmTimer", {"mnuPause", "mnuStop", "mnuPreferencesPopMenu"}},
    {"frmTimer", {"mnuStatistics", "mnuTheme"}},
    // Break Ideas shares its I with Count Idle Time as a Break, in the Options menu.
    {"frmTimer", {"mnuIdleIsBreak", "mnuBreakIdeas"}},
    // Break Screen shares its S with Launch On Startup.
    {"frmTimer", {"mnuLaunchOnStartup", "mnuBreakScreen"}},
    // "&Language" beside "Count Sleep and &Lock as a Break": Alt+L goes to each in turn.
    {"frmTimer", {"mnuSleepIsBreak", "mnuLanguage"}},
    {"frmUnwindle", {"cmdRemindLater", "cmdRestartTimer"}},
};

bool MayShare(const Form& f, const Control& a, const Control& b) {
  for (const auto& [form, group] : kSharedByDesign) {
    if (form == f.name() && group.count(a.name()) && group.count(b.name())) return true;
  }
  return false;
}

// The faults of `f` as they stand: a design name twice, or two controls of one dialog (two items
// of one menu level) with one access key.
std::vector<std::string> Faults(const Form& f) {
  std::vector<std::string> faults;
  std::set<std::string> names;
  for (const auto& c : f.controls()) {
    if (!names.insert(c->Id()).second) faults.push_back(f.name() + " holds " + c->Id() + " twice");
  }
  // Menus by their level (the parent menu); the rest of the window is one level of its own.
  std::map<std::string, std::map<char, const Control*>> levels;
  for (const auto& c : f.controls()) {
    const char key = KeyOf(c->caption());
    if (!key || !TakesKey(*c)) continue;
    const bool menu = c->kind() == ControlKind::kMenu;
    const std::string level = !menu ? "the window" : c->parent() ? c->parent()->Id() : "the bar";
    auto [at, fresh] = levels[level].emplace(key, c.get());
    if (!fresh && !MayShare(f, *at->second, *c)) {
      faults.push_back(f.name() + ": " + at->second->Id() + " \"" + at->second->caption() +
                       "\" and " + c->Id() + " \"" + c->caption() + "\" share Alt+" + key);
    }
  }
  return faults;
}

// The texts of `f` that `texts` would say otherwise: shown in English although the catalogue has
// them (captions, tooltips, list entries, and the words of a chart).
std::vector<std::string> Untranslated(const Form& f, const Texts& texts) {
  std::vector<std::string> faults;
  auto check = [&](const std::string& where, const std::string& text) {
    if (!text.empty() && texts.T(text) != text)
      faults.push_back(f.name() + ": " + where + " shows \"" + text + "\" in English");
  };
  check("its caption", f.caption());
  for (const auto& c : f.controls()) {
    check(c->Id(), c->caption());
    check(c->Id() + "'s tooltip", c->toolTip());
    for (const std::string& item : c->items()) check(c->Id() + "'s list", item);
    const Chart& chart = c->chart();
    check(c->Id() + "'s key", chart.barKey);
    for (const ChartRow& row : chart.rows) check(c->Id() + "'s rows", row.name);
    for (const ChartTick& tick : chart.ticks) check(c->Id() + "'s scale", tick.label);
  }
  return faults;
}

std::string Joined(const std::set<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

// Windows whose texts do not go through the catalogue yet: their English is not a fault.
std::string BuiltGerman() {
  std::ifstream in(std::string(UNWINDLE_CATALOGUES_DIR) + "/de.mo", std::ios::binary);
  std::stringstream mo;
  mo << in.rdbuf();
  return mo.str();
}

TEST(AccessKeysTest, EveryFormHoldsEachNameOnceAndEachAccessKeyOncePerMenuAndDialog) {
  for (const bool german : {false, true}) {
    SCOPED_TRACE(german ? "German" : "English");
    Sim sim;
    // The beeps' option under both its names: the system's sounds, the player's own tones.
    sim.fake.sound.systemBeeps = !german;
    if (german) {
      sim.fake.languages.catalogues = {BuiltGerman()};
      ASSERT_FALSE(sim.fake.languages.catalogues.front().empty());
      sim.fake.languages.preferred = {"de-DE"};
    }
    Plant(sim, {});
    sim.Launch();
    // While the splash shows, the main window stands as designed: no caption changed yet.
    const std::vector<std::string> designed = Faults(sim.form("frmTimer"));
    std::set<std::string> faults(designed.begin(), designed.end());
    sim.Advance(5000);
    App& app = sim.app();
    ASSERT_EQ(app.texts.Language(), german ? "de" : "");
    std::vector<Form*> forms = EveryOtherWindow(app);
    forms.insert(forms.begin(), &app.frmTimer());
    for (Form* f : forms) {
      const bool loaded = f->loaded();
      sim.Do([f] { f->Load(); });
      ASSERT_TRUE(f->loaded()) << f->name();
      for (const std::string& fault : Faults(*f)) faults.insert(fault);
      for (const std::string& fault : Untranslated(*f, app.texts)) faults.insert(fault);
      if (!loaded) sim.Do([f] { f->Unload(); });
    }
    EXPECT_TRUE(faults.empty()) << Joined(faults);
  }
}

}  // namespace
}  // namespace unw
