// The program's look: the setting Theme over the system's light or dark mode, high contrast over
// both, followed live; and the fake's appearance keeps the contract of the real one.
#include <gtest/gtest.h>

#include "appearance_contract.h"
#include "program_fixture.h"

namespace unw {
namespace {

constexpr SystemAppearance kLightSystem{false, false};
constexpr SystemAppearance kDarkSystem{true, false};
constexpr SystemAppearance kHighContrast{false, true};
constexpr SystemAppearance kDarkHighContrast{true, true};

class ThemeTest : public ProgramTest {
 protected:
  // The look the windows of `s` show now (none given yet: "none").
  static std::string Shown(Sim& s) {
    const auto& looks = s.fake.view.looks;
    if (looks.empty()) return "none";
    switch (looks.back()) {
      case Look::kLight:
        return "light";
      case Look::kDark:
        return "dark";
      case Look::kHighContrast:
        return "highcontrast";
    }
    return "?";
  }
  std::string Shown() { return Shown(sim); }
  // The Theme items checked, by name.
  static std::string Checked(Sim& s) {
    std::string out;
    for (const char* item : {"mnuThemeSystem", "mnuThemeLight", "mnuThemeDark"})
      if (s.ctl("frmTimer", item).checked()) out += out.empty() ? item : std::string(" ") + item;
    return out;
  }
  std::string Checked() { return Checked(sim); }
  void SystemTurns(SystemAppearance to) {
    sim.Do([this, to] { sim.fake.appearance.Change(to); });
  }
};

TEST_F(ThemeTest, TheStoredChoiceAndTheSystemDecideTheLookFromTheFirstWindowOn) {
  struct Case {
    const char* stored;
    SystemAppearance system;
    const char* look;
    const char* checked;
    const char* storedAfter;
  };
  const Case cases[] = {
      {"0", kLightSystem, "light", "mnuThemeSystem", "0"},
      {"0", kDarkSystem, "dark", "mnuThemeSystem", "0"},
      {"1", kDarkSystem, "light", "mnuThemeLight", "1"},
      {"2", kLightSystem, "dark", "mnuThemeDark", "2"},
      {"2", kHighContrast, "highcontrast", "mnuThemeDark", "2"},
      {"1", kDarkHighContrast, "highcontrast", "mnuThemeLight", "1"},
      // A value the program cannot use is repaired by itself; the others stay as stored.
      {"7", kDarkSystem, "dark", "mnuThemeSystem", "0"},
      {"dark", kLightSystem, "light", "mnuThemeSystem", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " " + c.look);
    Sim s;
    s.fake.appearance.now = c.system;
    Plant(s, {{{"Theme", c.stored}, {"Minutes", "25"}}});
    s.Start();
    ASSERT_FALSE(s.fake.view.looks.empty());
    // Every window, the splash included, had this look: it was given once, before the first.
    EXPECT_EQ(s.fake.view.looks.size(), 1u);
    EXPECT_EQ(Shown(s), c.look);
    EXPECT_EQ(Checked(s), c.checked);
    EXPECT_EQ(StoredIn(s, "Theme"), c.storedAfter);
    EXPECT_EQ(StoredIn(s, "Minutes"), "25");
  }
}

TEST_F(ThemeTest, TheLookFollowsTheMenuAndTheSystemLiveAndHighContrastAlwaysWins) {
  Start();
  // Each step: what happens, then the look every window shows and the item checked.
  struct Step {
    const char* what;
    const char* click;               // a Theme menu item, or null
    const SystemAppearance* system;  // the system changes to this, or null
    const char* look;
    const char* checked;
    const char* stored;
  };
  const Step steps[] = {
      {"as Windows is set: light", nullptr, nullptr, "light", "mnuThemeSystem", "0"},
      {"the user turns apps dark", nullptr, &kDarkSystem, "dark", "mnuThemeSystem", "0"},
      {"Light chosen", "mnuThemeLight", nullptr, "light", "mnuThemeLight", "1"},
      {"the system's dark no longer counts", nullptr, &kDarkSystem, "light", "mnuThemeLight", "1"},
      {"Dark chosen", "mnuThemeDark", nullptr, "dark", "mnuThemeDark", "2"},
      {"high contrast on", nullptr, &kHighContrast, "highcontrast", "mnuThemeDark", "2"},
      {"a choice under high contrast", "mnuThemeLight", nullptr, "highcontrast", "mnuThemeLight",
       "1"},
      {"high contrast off, system dark", nullptr, &kDarkSystem, "light", "mnuThemeLight", "1"},
      {"Windows followed again", "mnuThemeSystem", nullptr, "dark", "mnuThemeSystem", "0"},
      {"the user turns apps light", nullptr, &kLightSystem, "light", "mnuThemeSystem", "0"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.click) sim.Click("frmTimer", step.click);
    if (step.system) SystemTurns(*step.system);
    EXPECT_EQ(Shown(), step.look);
    EXPECT_EQ(Checked(), step.checked);
    EXPECT_EQ(Stored("Theme"), step.stored);
  }
  // Told once per change, with the look in the trace; a notice that changes nothing repaints
  // nothing.
  const size_t given = sim.fake.view.looks.size();
  SystemTurns(kLightSystem);
  sim.Click("frmTimer", "mnuThemeSystem");
  EXPECT_EQ(sim.fake.view.looks.size(), given);
  EXPECT_EQ(Traced("theme\thighcontrast"), 1);
  EXPECT_EQ(Traced("theme\tdark"), 3);
  // Each look follows the one before it; none is given twice in a row.
  for (size_t i = 1; i < sim.fake.view.looks.size(); ++i)
    EXPECT_NE(sim.fake.view.looks[i], sim.fake.view.looks[i - 1]) << i;
}

TEST_F(ThemeTest, AChoiceTheStoreRefusesHoldsUntilTheProgramEnds) {
  Start();
  sim.fake.settings.SetReadOnly(true);
  sim.Click("frmTimer", "mnuThemeDark");
  EXPECT_EQ(Told(), kNotSavedText);
  EXPECT_EQ(Shown(), "dark");
  EXPECT_EQ(Checked(), "mnuThemeDark");
  EXPECT_EQ(Stored("Theme"), "0");
}

// The fake's appearance: what the test sets is what the program reads, and the change is heard.
struct FakeAppearanceFixture : ::testing::Test {
  Appearance& appearance() { return fake; }
  void UserSets(bool appsDark) { fake.Change({appsDark, fake.now.highContrast}); }
  void Settle() {}
  FakeAppearance fake;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, AppearanceContract, ::testing::Types<FakeAppearanceFixture>);

}  // namespace
}  // namespace unw
