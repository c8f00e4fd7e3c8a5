#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "stored_defaults.h"

namespace unw {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& name) {
    return reg.Text(kHkeyCurrentUser, kSettingsKey, name).value_or("<missing>");
  }
  void Plant(const std::string& name, const std::string& text) {
    reg.PlantText(kHkeyCurrentUser, kSettingsKey, name, text);
  }
  void PlantAllDefaults() {
    for (const auto& [name, text] : kStoredDefaults) Plant(name, text);
  }
  void TearDown() override { EXPECT_EQ(reg.OpenHandles(), 0u) << "a key handle was left open"; }

  Trace trace{nullptr, ""};
  FakeRegistry reg{trace};
  SettingsStore store{reg};
  Settings s;
};

TEST_F(SettingsStoreTest, FirstStartCreatesTheKeyAndWritesEveryDefault) {
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(reg.ValueCount(kHkeyCurrentUser, kSettingsKey), 21u);
  for (const auto& [name, text] : kStoredDefaults) {
    EXPECT_EQ(Stored(name), text) << name;
    EXPECT_EQ(reg.Type(kHkeyCurrentUser, kSettingsKey, name), kRegSz) << name;
  }
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(s.BreakMinutes, 10);
  EXPECT_EQ(s.NumberOfSnooze, 3);
  EXPECT_EQ(s.AudioType, 2);
  EXPECT_EQ(s.CustomSound, " ");
  EXPECT_EQ(s.BalloonTipsEnabled, 1);
  EXPECT_EQ(s.LaunchOnStartup, 1);
}

TEST_F(SettingsStoreTest, OutOfRangeValuesAreRepairedOneByOne) {
  PlantAllDefaults();
  Plant("Hours", "100");
  Plant("Seconds", "-1");
  Plant("NumberOfSnooze", "10");
  Plant("TrayIcon", "7");
  Plant("Minutes", " 12 ");
  Plant("BreakMinutes", "59");
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(Stored("Hours"), "1");
  EXPECT_EQ(s.Seconds, 0);
  EXPECT_EQ(Stored("Seconds"), "0");
  EXPECT_EQ(s.NumberOfSnooze, 3);
  EXPECT_EQ(s.TrayIcon, 0);
  EXPECT_EQ(Stored("TrayIcon"), "0");
  // Valid values are left exactly as stored.
  EXPECT_EQ(s.Minutes, 12);
  EXPECT_EQ(Stored("Minutes"), " 12 ");
  EXPECT_EQ(s.BreakMinutes, 59);
}

TEST_F(SettingsStoreTest, NoLimitReminderCountIsKeptOtherLargeCountsAreNot) {
  PlantAllDefaults();
  Plant("NumberOfSnooze", "99");
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.NumberOfSnooze, 99);
  Plant("NumberOfSnooze", "50");
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.NumberOfSnooze, 3);
  EXPECT_EQ(Stored("NumberOfSnooze"), "3");
}

TEST_F(SettingsStoreTest, ANonNumberFailsTheLoadAndAResetRestoresEverything) {
  PlantAllDefaults();
  Plant("Minutes", "25");
  Plant("AlwaysOnTop", "0");
  Plant("SnoozeSeconds", "abc");
  EXPECT_FALSE(store.LoadSettings(s));
  store.ResetSettings(s);
  for (const auto& [name, text] : kStoredDefaults)
    EXPECT_EQ(Stored(name), name == "BalloonTipsEnabled" ? "0" : text) << name;
  EXPECT_EQ(s.Minutes, 0);
  EXPECT_EQ(s.AlwaysOnTop, 1);
  EXPECT_EQ(s.BalloonTipsEnabled, 0);
}

TEST_F(SettingsStoreTest, AMissingBalloonSwitchAloneComesBackOn) {
  PlantAllDefaults();
  Plant("BalloonTipsEnabled", "0");
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.BalloonTipsEnabled, 0);
  reg.Plant(kHkeyCurrentUser, kSettingsKey, "BalloonTipsEnabled", kRegSz, {});
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.BalloonTipsEnabled, 1);
  EXPECT_EQ(Stored("BalloonTipsEnabled"), "1");
}

TEST_F(SettingsStoreTest, TextsStoredWithoutTheirNulKeepEveryCharacter) {
  PlantAllDefaults();
  reg.Plant(kHkeyCurrentUser, kSettingsKey, "Minutes", kRegSz, {'1', '0'});
  reg.Plant(kHkeyCurrentUser, kSettingsKey, "Seconds", kRegSz, {'7'});
  int writesBefore = reg.writes();
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.Minutes, 10);
  EXPECT_EQ(s.Seconds, 7);
  EXPECT_EQ(reg.writes(), writesBefore) << "valid values must not be rewritten";
}

TEST_F(SettingsStoreTest, ADwordWrittenByAnotherToolReadsAsItsNumber) {
  PlantAllDefaults();
  reg.Plant(kHkeyCurrentUser, kSettingsKey, "BreakMinutes", kRegDword, {25, 0, 0, 0});
  reg.Plant(kHkeyCurrentUser, kSettingsKey, "SnoozeMinutes", kRegDword, {70, 0, 0, 0});
  ASSERT_TRUE(store.LoadSettings(s)) << "a DWORD must not reset every setting";
  EXPECT_EQ(s.BreakMinutes, 25);
  EXPECT_EQ(s.SnoozeMinutes, 10);
  EXPECT_EQ(Stored("SnoozeMinutes"), "10");
  EXPECT_EQ(reg.Type(kHkeyCurrentUser, kSettingsKey, "SnoozeMinutes"), kRegSz);
  EXPECT_EQ(Stored("Hours"), "1");
}

TEST_F(SettingsStoreTest, BinaryJunkResetsQuietly) {
  PlantAllDefaults();
  reg.Plant(kHkeyCurrentUser, kSettingsKey, "AudioType", kRegBinary, {0xff, 0x00, 0x7f, 0x80, 1});
  EXPECT_FALSE(store.LoadSettings(s));
  store.ResetSettings(s);
  EXPECT_EQ(Stored("AudioType"), "2");
  EXPECT_EQ(s.AudioType, 2);
}

TEST_F(SettingsStoreTest, AnUnavailableRegistryChangesNothingAndNeverCrashes) {
  reg.SetUnavailable(true);
  s.Hours = 5;
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "Hours"), "");
  EXPECT_FALSE(store.WriteSettingValue(kSettingsKey, "Hours", "1"));
  EXPECT_FALSE(store.DeleteSettingValue(kSettingsKey, "Hours"));
  EXPECT_FALSE(store.LoadSettings(s));
  store.ResetSettings(s);
  EXPECT_EQ(s.Hours, 5);
  EXPECT_EQ(reg.writes(), 0);
  reg.SetUnavailable(false);
  EXPECT_FALSE(reg.KeyExists(kHkeyCurrentUser, kSettingsKey));
}

TEST_F(SettingsStoreTest, EmptyTextIsStoredAsOneSpaceAndReadBackAsIs) {
  EXPECT_TRUE(store.WriteSettingValue(kSettingsKey, "CustomSound", ""));
  EXPECT_EQ(Stored("CustomSound"), " ");
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "CustomSound"), " ");
  EXPECT_EQ(reg.Text(kHkeyCurrentUser, kSettingsKey, "CustomSound")->size(), 1u);
}

TEST_F(SettingsStoreTest, ReadingCreatesTheKeyDeletingReportsWhatHappened) {
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "Hours"), "");
  EXPECT_TRUE(reg.KeyExists(kHkeyCurrentUser, kSettingsKey));
  EXPECT_FALSE(store.DeleteSettingValue(kSettingsKey, "Hours"));
  Plant("Hours", "3");
  EXPECT_TRUE(store.DeleteSettingValue(kSettingsKey, "Hours"));
  EXPECT_FALSE(reg.Text(kHkeyCurrentUser, kSettingsKey, "Hours"));
  EXPECT_FALSE(store.DeleteSettingValue("Software\\Nowhere", "Hours"));
}

TEST_F(SettingsStoreTest, DwordReaderTakesOnlyDwords) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
  EXPECT_EQ(store.ReadDwordValue(kHkeyCurrentUser, key, "EnableBalloonTips", -1), -1);
  reg.Plant(kHkeyCurrentUser, key, "EnableBalloonTips", kRegDword, {0, 0, 0, 0});
  EXPECT_EQ(store.ReadDwordValue(kHkeyCurrentUser, key, "EnableBalloonTips", -1), 0);
  reg.PlantText(kHkeyCurrentUser, key, "EnableBalloonTips", "1");
  EXPECT_EQ(store.ReadDwordValue(kHkeyCurrentUser, key, "EnableBalloonTips", 7), 7);
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
