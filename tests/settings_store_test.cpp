#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <map>

#include "backends/fake/fake_registry.h"
#include "backends/fake/fake_system.h"
#include "settings_fuzz.h"
#include "stored_defaults.h"

namespace unw {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& name) {
    return reg.Text(kHkeyCurrentUser, kSettingsKey, name).value_or("<missing>");
  }
  void PlantAllDefaults() {
    for (const auto& [name, text] : kStoredDefaults)
      reg.PlantText(kHkeyCurrentUser, kSettingsKey, name, text);
  }
  void TearDown() override { EXPECT_EQ(reg.OpenHandles(), 0u) << "a key handle was left open"; }

  Trace trace{nullptr, ""};
  FakeRegistry reg{trace};
  SettingsStore store{reg};
  Settings s;
};

TEST_F(SettingsStoreTest, FirstStartCreatesTheKeyAndWritesEveryDefault) {
  store.LoadSettings(s);
  EXPECT_EQ(reg.ValueCount(kHkeyCurrentUser, kSettingsKey), kStoredDefaults.size());
  for (const auto& [name, text] : kStoredDefaults) {
    EXPECT_EQ(Stored(name), text) << name;
    EXPECT_EQ(reg.Type(kHkeyCurrentUser, kSettingsKey, name), kRegSz) << name;
  }
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(s.NumberOfSnooze, 3);
  EXPECT_EQ(s.CustomSound, " ");
  EXPECT_EQ(s.BalloonTipsEnabled, 1);
}

// One stored value as another program left it, and what loading makes of it.
struct Stray {
  const char* name;
  uint32_t type;
  std::vector<uint8_t> bytes;  // empty: missing
  long loads;                  // the working copy
  const char* stored;          // the value afterwards, as text; null: as planted
};

std::vector<uint8_t> Sz(const std::string& t) {
  std::vector<uint8_t> b(t.begin(), t.end());
  b.push_back(0);
  return b;
}

class StrayValue : public SettingsStoreTest, public ::testing::WithParamInterface<Stray> {};

TEST_P(StrayValue, IsRepairedAloneOrKeptAndNoOtherValueChanges) {
  const Stray& c = GetParam();
  PlantAllDefaults();
  if (c.bytes.empty())
    reg.Plant(kHkeyCurrentUser, kSettingsKey, c.name, c.type, {});
  else
    reg.Plant(kHkeyCurrentUser, kSettingsKey, c.name, c.type, c.bytes);
  const std::string planted = Stored(c.name);
  store.LoadSettings(s);
  EXPECT_EQ(Setting(c.name).Get(s), c.loads);
  EXPECT_EQ(Stored(c.name), c.stored ? c.stored : planted);
  for (const auto& [name, text] : kStoredDefaults) {
    if (name != c.name) {
      EXPECT_EQ(Stored(name), text) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Values, StrayValue,
                         ::testing::Values(
                             // Out of range: the default, stored.
                             Stray{"Hours", kRegSz, Sz("100"), 1, "1"},
                             Stray{"Seconds", kRegSz, Sz("-1"), 0, "0"},
                             Stray{"NumberOfSnooze", kRegSz, Sz("10"), 3, "3"},
                             Stray{"TrayIcon", kRegSz, Sz("7"), 0, "0"},
                             // Not a number: the same, and nothing else is touched.
                             Stray{"SnoozeSeconds", kRegSz, Sz("abc"), 0, "0"},
                             Stray{"AudioType", kRegSz, Sz(" "), 2, "2"},
                             Stray{"BreakMinutes", kRegSz, Sz("1e3"), 10, "10"},
                             Stray{"BreakMinutes", kRegSz, Sz("0x10"), 10, "10"},
                             Stray{"SnoozeMinutes", kRegSz, Sz("7\n"), 10, "10"},
                             Stray{"Minutes", kRegSz, Sz("32768"), 0, "0"},
                             Stray{"AudioType", kRegBinary, {0xff, 0x00, 0x7f, 0x80, 1}, 2, "2"},
                             // Missing: the default; a missing balloon switch comes back on.
                             Stray{"BalloonTipsEnabled", kRegSz, {}, 1, "1"},
                             // Kept as stored.
                             Stray{"NumberOfSnooze", kRegSz, Sz("99"), 99, nullptr},
                             Stray{"Minutes", kRegSz, Sz(" 12 "), 12, nullptr},
                             Stray{"Minutes", kRegSz, {'1', '0'}, 10, nullptr},  // without its NUL
                             Stray{"Seconds", kRegSz, {'7'}, 7, nullptr},
                             Stray{"BreakMinutes", kRegDword, {25, 0, 0, 0}, 25, nullptr},
                             Stray{"SnoozeMinutes", kRegDword, {70, 0, 0, 0}, 10, "10"}));

TEST_F(SettingsStoreTest, AStoreThatRefusesWritesStillGivesWorkingCopiesInRange) {
  // Unavailable: nothing read, nothing written, every working copy the default.
  reg.SetUnavailable(true);
  s.Hours = 5;
  EXPECT_FALSE(store.WriteSettingValue(kSettingsKey, "Hours", "1"));
  EXPECT_FALSE(store.DeleteSettingValue(kSettingsKey, "Hours"));
  store.LoadSettings(s);
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(s.AlertMeBy, 0);
  EXPECT_EQ(reg.writes(), 0);
  reg.SetUnavailable(false);
  EXPECT_FALSE(reg.KeyExists(kHkeyCurrentUser, kSettingsKey));
  // Readable but not writable: what is usable is used, what is not is repaired in memory only.
  PlantAllDefaults();
  reg.PlantText(kHkeyCurrentUser, kSettingsKey, "AlertMeBy", "5");
  reg.PlantText(kHkeyCurrentUser, kSettingsKey, "Hours", "0");
  reg.SetReadOnly(true);
  store.LoadSettings(s);
  EXPECT_EQ(s.AlertMeBy, 0);
  EXPECT_EQ(s.Hours, 0);
  EXPECT_EQ(Stored("AlertMeBy"), "5");
  EXPECT_FALSE(store.SetLaunchOnStartup(true, "x.exe"));
}

TEST_F(SettingsStoreTest, EmptyTextIsStoredAsOneSpaceAndReadBackAsIs) {
  EXPECT_TRUE(store.WriteSettingValue(kSettingsKey, "CustomSound", ""));
  EXPECT_EQ(Stored("CustomSound"), " ");
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "CustomSound"), " ");
}

TEST_F(SettingsStoreTest, ReadingCreatesTheKeyDeletingReportsWhatHappened) {
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "Hours"), "");
  EXPECT_TRUE(reg.KeyExists(kHkeyCurrentUser, kSettingsKey));
  EXPECT_FALSE(store.DeleteSettingValue(kSettingsKey, "Hours"));
  reg.PlantText(kHkeyCurrentUser, kSettingsKey, "Hours", "3");
  EXPECT_TRUE(store.DeleteSettingValue(kSettingsKey, "Hours"));
  EXPECT_FALSE(store.DeleteSettingValue("Software\\Nowhere", "Hours"));
  // Removing a startup entry that is not there is no failure.
  EXPECT_TRUE(store.SetLaunchOnStartup(false, ""));
}

TEST(SettingsFuzz, FiveThousandRandomStoresLoadIntoRangeAndKeepEveryUsableValue) {
  std::mt19937 rng(20261206);
  for (int i = 0; i < 5000; ++i) {
    const std::string wrong = FuzzSettingsOnce(rng);
    ASSERT_TRUE(wrong.empty()) << "case " << i << ":" << wrong;
  }
}

TEST(LaunchCommand, IsTheQuotedProgramPath) {
  Trace trace{nullptr, ""};
  FakeWorkstation ws{trace};
  EXPECT_EQ(LaunchCommand(ws), "\"C:\\Program Files\\KORVANTE\\Unwindle\\Unwindle.exe\"");
  ws.appPath = "D:\\";
  ws.exeName = "unwindle";
  EXPECT_EQ(LaunchCommand(ws), "\"D:\\unwindle.exe\"");
}

}  // namespace
}  // namespace unw
