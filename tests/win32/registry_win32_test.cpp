// The real registry keeps the same contract as the in-memory one, and the
// settings store behaves the same on it.
#include <windows.h>

#include <vector>

#include "platform/win32/registry_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/wide_text.h"
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
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, win32::Wide(TestKey()).c_str()); }
};

using Backends = ::testing::Types<Win32RegistryFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Backends);

// The store on the real registry, under the program's own key of this
// throw-away prefix.
struct Win32StoreTest : ::testing::Test {
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
  // Writes a value as another program would, with the system's own calls.
  void PlantBytes(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    win32::ScopedKey key(k);
    RegSetValueExW(key, win32::Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
  }
  // The value as stored, read with the system's own call.
  std::vector<BYTE> Stored(const char* name, DWORD& type) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return {};
    win32::ScopedKey key(k);
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegQueryValueExW(key, win32::Wide(name).c_str(), nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      return {};
    data.resize(size);
    return data;
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
  DWORD type = 0;
  const std::vector<BYTE> stored = Stored("BreakMinutes", type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored, (std::vector<BYTE>{'1', 0, '0', 0, 0, 0}));
}

TEST_F(Win32StoreTest, ForeignDwordsAndNulLessTextsLoadAsTheirNumbers) {
  store.LoadSettings(s);
  DWORD five = 5;
  PlantBytes("Minutes", REG_DWORD, &five, 4);
  PlantBytes("Seconds", REG_SZ, L"42", 4);  // no NUL
  store.LoadSettings(s);
  EXPECT_EQ(s.Minutes, 5);
  EXPECT_EQ(s.Seconds, 42);
}

// The system's code page here is not UTF-8 (this test program has no manifest asking for it):
// only the wide calls keep these characters.
TEST_F(Win32StoreTest, ACustomSoundPathIsStoredAsItsOwnCharacters) {
  const std::string path = "C:\\Users\\Zoë\\Übung\\ベル.wav";
  ASSERT_TRUE(store.WriteSettingValue(kSettingsKey, "CustomSound", path));
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "CustomSound"), path);
  DWORD type = 0;
  const std::vector<BYTE> stored = Stored("CustomSound", type);
  const std::wstring want = L"C:\\Users\\Zoë\\Übung\\ベル.wav";
  ASSERT_EQ(stored.size(), (want.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(stored.data())), want);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(Win32StoreTest, ValuesOtherProgramsWroteReachTheCoreAsUtf8OrAsTheirBytes) {
  Registry& r = registry;
  const std::wstring sound = L"D:\\Übung\\ベル.wav";
  const std::wstring expandable = L"%USERPROFILE%\\ベル.wav";
  const BYTE binary[] = {0xC3, 0x9C, 0x00, 0xFF};
  const struct {
    const char* name;
    DWORD type;
    const void* data;
    DWORD size;
    std::string core;
  } cases[] = {
      {"Sound", REG_SZ, sound.c_str(), static_cast<DWORD>((sound.size() + 1) * 2),
       std::string("D:\\Übung\\ベル.wav") + '\0'},
      {"Expand", REG_EXPAND_SZ, expandable.c_str(), static_cast<DWORD>((expandable.size() + 1) * 2),
       std::string("%USERPROFILE%\\ベル.wav") + '\0'},
      {"Binary", REG_BINARY, binary, sizeof binary, std::string("\xC3\x9C\0\xFF", 4)},
  };
  store.LoadSettings(s);
  RegKey k = 0;
  ASSERT_EQ(r.OpenKeyEx(kHkeyCurrentUser, kSettingsKey, kKeyRead, k), 0);
  for (const auto& c : cases) {
    PlantBytes(c.name, c.type, c.data, c.size);
    uint32_t size = 0, type = 0;
    ASSERT_EQ(r.QueryValueEx(k, c.name, &type, nullptr, &size), 0) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(size, c.core.size()) << c.name;
    std::string back(size, 'x');
    ASSERT_EQ(r.QueryValueEx(k, c.name, &type, reinterpret_cast<uint8_t*>(back.data()), &size), 0);
    EXPECT_EQ(back, c.core) << c.name;
  }
  r.CloseKey(k);
  PlantBytes("CustomSound", REG_SZ, sound.c_str(), static_cast<DWORD>((sound.size() + 1) * 2));
  EXPECT_EQ(store.ReadSettingValue(kSettingsKey, "CustomSound"), "D:\\Übung\\ベル.wav");
}

}  // namespace
}  // namespace unw
