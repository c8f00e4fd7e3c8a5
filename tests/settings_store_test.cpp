#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <optional>

#include "backends/fake/fake_settings_storage.h"
#include "settings_fuzz.h"
#include "stored_defaults.h"

namespace unw {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& name) { return storage.Text(name).value_or("<missing>"); }
  void PlantAllDefaults() {
    for (const auto& [name, text] : kStoredDefaults) storage.Plant(name, text);
  }

  Trace trace{nullptr, ""};
  FakeSettingsStorage storage{trace};
  SettingsStore store{storage};
  Settings s;
};

TEST_F(SettingsStoreTest, FirstStartWritesEveryDefault) {
  store.LoadSettings(s);
  EXPECT_EQ(storage.Count(), kStoredDefaults.size());
  for (const auto& [name, text] : kStoredDefaults) EXPECT_EQ(Stored(name), text) << name;
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(s.NumberOfSnooze, 3);
  EXPECT_EQ(s.CustomSound, " ");
  EXPECT_EQ(s.BalloonTipsEnabled, 1);
}

// One stored value as another program left it, and what loading makes of it.
struct Stray {
  const char* name;
  std::optional<std::string> text;  // none: missing
  long loads;                       // the working copy
  const char* stored;               // the value afterwards; null: as planted
  bool unreadable = false;          // there, but the storage cannot read it
  const char* loadsText = nullptr;  // the working copy of a text setting
};

class StrayValue : public SettingsStoreTest, public ::testing::WithParamInterface<Stray> {};

TEST_P(StrayValue, IsRepairedAloneOrKeptAndNoOtherValueChanges) {
  const Stray& c = GetParam();
  PlantAllDefaults();
  if (c.unreadable)
    storage.PlantUnreadable(c.name);
  else if (c.text)
    storage.Plant(c.name, *c.text);
  else
    storage.Remove(c.name);
  const std::string planted = Stored(c.name);
  store.LoadSettings(s);
  const SettingInfo& info = Setting(c.name);
  if (info.text)
    EXPECT_EQ(s.*info.text, c.loadsText);
  else
    EXPECT_EQ(info.Get(s), c.loads);
  EXPECT_EQ(Stored(c.name), c.stored ? c.stored : planted);
  for (const auto& [name, text] : kStoredDefaults) {
    if (name != c.name) {
      EXPECT_EQ(Stored(name), text) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, StrayValue,
    ::testing::Values(
        // Out of range: the default, stored.
        Stray{"Hours", "100", 1, "1"}, Stray{"Seconds", "-1", 0, "0"},
        Stray{"NumberOfSnooze", "10", 3, "3"}, Stray{"TrayIcon", "7", 0, "0"},
        Stray{"SnoozeMinutes", "70", 10, "10"}, Stray{"ShortBreaks", "2", 0, "0"},
        Stray{"ShortBreakMinutes", "0", 20, "20"}, Stray{"ShortBreakSeconds", "601", 20, "20"},
        Stray{"HeadsUpSeconds", "4", 0, "0"}, Stray{"HeadsUpSeconds", "0", 0, nullptr},
        Stray{"HeadsUpSeconds", "120", 120, nullptr},
        // Not a number: the same, and nothing else is touched.
        Stray{"SnoozeSeconds", "abc", 0, "0"}, Stray{"AudioType", " ", 2, "2"},
        Stray{"BreakMinutes", "1e3", 10, "10"}, Stray{"BreakMinutes", "0x10", 10, "10"},
        Stray{"SnoozeMinutes", "7\n", 10, "10"}, Stray{"Minutes", "32768", 0, "0"},
        Stray{"AudioType", "\xff\x7f\x80\x01", 2, "2"},
        // Missing, empty or unreadable: the default; a missing balloon
        // switch comes back on.
        Stray{"BalloonTipsEnabled", std::nullopt, 1, "1"}, Stray{"Hours", "", 1, "1"},
        Stray{"Seconds", std::nullopt, 0, "0", /*unreadable*/ true},
        // A text that is not UTF-8 (a stray byte, an overlong form, a surrogate): the default.
        Stray{"HoldForPrograms", "game\xff.exe", 0, " ", false, " "},
        Stray{"CustomSound",
              "C:\xc0\xaf"
              "a.wav",
              0, " ", false, " "},
        Stray{"PausedUntil", "2026-12-07T10:00:00\xed\xa0\x80", 0, " ", false, " "},
        // Kept as stored.
        Stray{"CustomSound", "C:\\Kl\xc3\xa4nge\\ding.wav", 0, nullptr, false,
              "C:\\Kl\xc3\xa4nge\\ding.wav"},
        Stray{"CustomIdeas", "Look up.\nStand up.", 0, nullptr, false, "Look up.\nStand up."},
        Stray{"BreakIdeas", "0", 0, nullptr},
        // The user's ideas that cannot be read as a list: all of them go, and nothing else.
        Stray{"CustomIdeas", "Look up.\\t", 0, " ", false, " "},
        Stray{"CustomIdeas", "Look up.\n\nStand up.", 0, " ", false, " "},
        Stray{"BreakIdeas", "2", 1, "1"}, Stray{"NumberOfSnooze", "99", 99, nullptr},
        Stray{"Minutes", " 12 ", 12, nullptr}, Stray{"BreakMinutes", "25", 25, nullptr}));

TEST_F(SettingsStoreTest, AStoreThatRefusesWritesStillGivesWorkingCopiesInRange) {
  // Unavailable: nothing read, nothing written, every working copy the default.
  storage.SetUnavailable(true);
  s.Hours = 5;
  EXPECT_FALSE(store.WriteSettingValue("Hours", "1"));
  store.LoadSettings(s);
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(s.AlertMeBy, 0);
  EXPECT_EQ(storage.writes(), 0);
  storage.SetUnavailable(false);
  EXPECT_EQ(storage.Count(), 0u);
  // Readable but not writable: what is usable is used, what is not is repaired in memory only.
  PlantAllDefaults();
  storage.Plant("AlertMeBy", "5");
  storage.Plant("Hours", "0");
  storage.SetReadOnly(true);
  store.LoadSettings(s);
  EXPECT_EQ(s.AlertMeBy, 0);
  EXPECT_EQ(s.Hours, 0);
  EXPECT_EQ(Stored("AlertMeBy"), "5");
}

TEST_F(SettingsStoreTest, EmptyTextIsStoredAsOneSpaceAndReadBackAsIs) {
  EXPECT_TRUE(store.WriteSettingValue("CustomSound", ""));
  EXPECT_EQ(Stored("CustomSound"), " ");
  EXPECT_EQ(store.ReadSettingValue("CustomSound"), " ");
}

TEST(SettingsFuzz, FiveThousandRandomStoresLoadIntoRangeAndKeepEveryUsableValue) {
  std::mt19937 rng(20261206);
  for (int i = 0; i < 5000; ++i) {
    const std::string wrong = FuzzSettingsOnce(rng);
    ASSERT_TRUE(wrong.empty()) << "case " << i << ":" << wrong;
  }
}

}  // namespace
}  // namespace unw
