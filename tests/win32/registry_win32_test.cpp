// The real registry keeps the same contract as the in-memory one, and the
// settings store behaves the same on it.
#include <windows.h>

#include "platform/win32/registry_win32.h"
#include "registry_contract.h"
#include "settings/settings_store.h"

namespace unw {
namespace {

std::string TestKey() {
  return "Software\\KORVANTE\\UnwindleTest\\" + std::to_string(GetCurrentProcessId());
}

struct Win32RegistryFixture : ::testing::Test {
  Trace trace{nullptr, ""};
  Win32Registry registry{trace};
  Registry& reg() { return registry; }
  std::string base() { return TestKey(); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey().c_str()); }
};

using Backends = ::testing::Types<Win32RegistryFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Backends);

// The store on the real registry, under the program's own key of this
// throw-away prefix.
struct Win32StoreTest : ::testing::Test {
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
  void PlantBytes(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(k);
  }
  Trace trace{nullptr, ""};
  Win32Registry registry{trace};
  SettingsStore store{registry};
  Settings s;
};

TEST_F(Win32StoreTest, FirstLoadWritesTheDefaultsAsTextWithTheirNul) {
  store.LoadSettings(s);
  EXPECT_EQ(s.Hours, 1);
  EXPECT_EQ(s.CustomSound, " ");
  char buf[16] = {};
  DWORD size = sizeof buf, type = 0;
  HKEY k;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &k), ERROR_SUCCESS);
  ASSERT_EQ(
      RegQueryValueExA(k, "BreakMinutes", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
      ERROR_SUCCESS);
  RegCloseKey(k);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 3u);
  EXPECT_STREQ(buf, "10");
}

TEST_F(Win32StoreTest, ForeignDwordsAndNulLessTextsLoadAsTheirNumbers) {
  store.LoadSettings(s);
  DWORD five = 5;
  PlantBytes("Minutes", REG_DWORD, &five, 4);
  PlantBytes("Seconds", REG_SZ, "42", 2);
  store.LoadSettings(s);
  EXPECT_EQ(s.Minutes, 5);
  EXPECT_EQ(s.Seconds, 42);
}

TEST_F(Win32StoreTest, UnicodePathsSurviveTheRoundTrip) {
  const std::string path = "C:\\Users\\Zoë\\Sounds\\Glocke läutet.wav";
  ASSERT_TRUE(store.WriteSettingValue(kSettingsKey, "CustomSound", path));
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "CustomSound"), path);
}

}  // namespace
}  // namespace unw
