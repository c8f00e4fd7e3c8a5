// The settings and the start at sign-in in the real registry: they keep the contracts of the
// in-memory ones, store each text as a REG_SZ of its own characters, and read what other programs
// left there (other types, no NUL, absurd sizes) as texts.
#include "backends/win32/settings_storage_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "backends/win32/form_view_win32.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "settings_storage_contract.h"
#include "startup_launch_contract.h"

namespace unw {
namespace {

struct Win32SettingsFixture : ::testing::Test {
  // Keys of this test program's own, gone when the test ends.
  static std::string Base() {
    return "Software\\KORVANTE\\UnwindleTest\\" + std::to_string(GetCurrentProcessId());
  }
  std::string key = Base() + "\\Settings";
  std::string runKey = Base() + "\\Run";
  Trace trace{nullptr, ""};
  Win32SettingsStorage settings{trace, key};
  Win32StartupLaunch startup{trace, runKey, "Unwindle"};
  SettingsStorage& storage() { return settings; }
  StartupLaunch& launch() { return startup; }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, win32::Wide(Base()).c_str()); }

  // A value as another program writes it: `bytes` exactly, no NUL added.
  void Plant(const std::string& name, DWORD type, const std::string& bytes) {
    RegSetKeyValueW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), win32::Wide(name).c_str(), type,
                    bytes.data(), static_cast<DWORD>(bytes.size()));
  }
  // A value as the system keeps it: its type and bytes.
  std::pair<DWORD, std::string> Raw(const std::string& k, const std::string& name) {
    DWORD type = 0, size = 0;
    const std::wstring wk = win32::Wide(k), wn = win32::Wide(name);
    if (RegGetValueW(HKEY_CURRENT_USER, wk.c_str(), wn.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, &size) != ERROR_SUCCESS)
      return {0, "<missing>"};
    std::string bytes(size, '\0');
    RegGetValueW(HKEY_CURRENT_USER, wk.c_str(), wn.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                 bytes.data(), &size);
    bytes.resize(size);
    return {type, bytes};
  }
};

using Backends = ::testing::Types<Win32SettingsFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SettingsStorageContract, Backends);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, StartupLaunchContract, Backends);

using Win32SettingsTest = Win32SettingsFixture;

std::string Utf16(const std::wstring& units) {
  return std::string(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(wchar_t));
}

// The system's code page here is not UTF-8 (this test program has no manifest asking for it):
// only the wide calls keep these characters, for the program and for every other reader.
TEST_F(Win32SettingsTest, ATextIsStoredAsARegSzOfItsOwnCharactersWithItsNul) {
  const struct {
    std::string text;
    std::wstring stored;
  } cases[] = {
      {"C:\\Users\\Zo\xC3\xAB\\\xC3\x9C"
       "bung\\\xE3\x83\x99\xE3\x83\xAB.wav",
       std::wstring(L"C:\\Users\\Zo\x00EB\\\x00DC"
                    L"bung\\\x30D9\x30EB.wav") +
           L'\0'},
      {"42", std::wstring(L"42\0", 3)},
      {"", std::wstring(L"\0", 1)},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(settings.Write("CustomSound", c.text), SettingStatus::kOk);
    EXPECT_EQ(Raw(key, "CustomSound"), std::make_pair(DWORD{REG_SZ}, Utf16(c.stored))) << c.text;
  }
}

// What loading sees of a value another program (or a broken disk) left.
TEST_F(Win32SettingsTest, AValueOfAnyTypeReadsAsItsTextUpToItsNul) {
  const size_t kMiB = size_t{1} << 20;
  const struct {
    const char* what;
    DWORD type;
    std::string bytes;
    SettingStatus status;
    std::string text;
  } cases[] = {
      {"text without its NUL", REG_SZ, Utf16(L"10"), SettingStatus::kOk, "10"},
      {"one character without its NUL", REG_SZ, Utf16(L"7"), SettingStatus::kOk, "7"},
      {"text with a NUL inside", REG_SZ,
       Utf16(std::wstring(L"12\0"
                          L"34\0",
                          6)),
       SettingStatus::kOk, "12"},
      {"expandable text", REG_EXPAND_SZ, Utf16(std::wstring(L"%TEMP%\0", 7)), SettingStatus::kOk,
       "%TEMP%"},
      {"an odd last byte", REG_SZ, std::string("A\0B", 3), SettingStatus::kOk, "A"},
      {"nothing at all", REG_SZ, "", SettingStatus::kOk, ""},
      {"a DWORD", REG_DWORD, std::string("\x19\0\0\0", 4), SettingStatus::kOk, "25"},
      {"the largest DWORD", REG_DWORD, std::string(4, '\xFF'), SettingStatus::kOk, "4294967295"},
      {"a QWORD", REG_QWORD, std::string("42\0\0\0\0\0\x01", 8), SettingStatus::kOk, "42"},
      {"binary", REG_BINARY, std::string("\xC3\x9C\0\xFF", 4), SettingStatus::kOk, "\xC3\x9C"},
      {"a mebibyte", REG_BINARY, std::string(kMiB, '7'), SettingStatus::kOk,
       std::string(kMiB, '7')},
      {"more than a mebibyte", REG_BINARY, std::string(kMiB + 1, '7'), SettingStatus::kFailed, ""},
      // Measured as UTF-8: two bytes a character.
      {"half a mebibyte of two-byte characters", REG_SZ,
       Utf16(std::wstring(kMiB / 2 + 1, L'\x00E9')), SettingStatus::kFailed, ""},
  };
  for (const auto& c : cases) {
    Plant("Hours", c.type, c.bytes);
    std::string text = "untouched";
    EXPECT_EQ(settings.Read("Hours", text), c.status) << c.what;
    if (c.status == SettingStatus::kOk) {
      EXPECT_EQ(text, c.text) << c.what;
    } else {
      EXPECT_EQ(text, "untouched") << c.what;
    }
  }
}

TEST_F(Win32SettingsTest, ReadingMakesTheKeyAndWritesAreTracedWithTheirFullPaths) {
  trace.KeepLines(true);
  std::string text;
  EXPECT_EQ(settings.Read("Hours", text), SettingStatus::kMissing);
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, KEY_READ, &opened),
            ERROR_SUCCESS);
  RegCloseKey(opened);
  ASSERT_EQ(settings.Write("Hours", "3"), SettingStatus::kOk);
  ASSERT_EQ(settings.Remove("Hours"), SettingStatus::kOk);
  ASSERT_EQ(settings.Remove("Hours"), SettingStatus::kMissing);
  const std::string path = Trace::Escape("HKCU\\" + key);
  const std::vector<std::string> want = {
      "reg.create\t" + path, "reg.set\t" + path + "\tHours\tREG_SZ\t3",
      "reg.delete\t" + path + "\tHours\tok", "reg.delete\t" + path + "\tHours\tmissing"};
  ASSERT_EQ(trace.lines().size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    const std::string& line = trace.lines()[i];
    EXPECT_EQ(line.substr(line.find('\t') + 1), want[i]);
  }
}

TEST_F(Win32SettingsTest, TheStartupEntryIsThisProgramQuoted) {
  ASSERT_TRUE(startup.TurnOn());
  const std::wstring quoted = L"\"" + win32::ProgramFile() + L"\"";
  EXPECT_EQ(Raw(runKey, "Unwindle"), std::make_pair(DWORD{REG_SZ}, Utf16(quoted + L'\0')));
}

TEST(LaunchCommand, IsTheProgramInItsFolderQuoted) {
  EXPECT_EQ(LaunchCommand("C:\\Program Files\\KORVANTE\\Unwindle", "Unwindle"),
            "\"C:\\Program Files\\KORVANTE\\Unwindle\\Unwindle.exe\"");
  EXPECT_EQ(LaunchCommand("D:\\", "unwindle"), "\"D:\\unwindle.exe\"");
}

// The user's switch for balloon notices: off only as the DWORD 0 the system writes.
TEST(BalloonTips, AreOffOnlyWhenTheSystemSwitchIsADwordZero) {
  const wchar_t* advanced = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
  Trace trace{nullptr, ""};
  Win32FormView view{trace};
  Win32NotificationArea tray{trace, view};
  const DWORD zero = 0, one = 1;
  RegDeleteKeyValueW(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips");
  EXPECT_TRUE(tray.UserAllowsNotices()) << "not set";
  RegSetKeyValueW(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips", REG_DWORD, &zero, 4);
  EXPECT_FALSE(tray.UserAllowsNotices());
  RegSetKeyValueW(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips", REG_DWORD, &one, 4);
  EXPECT_TRUE(tray.UserAllowsNotices());
  RegSetKeyValueW(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips", REG_SZ, L"0", 4);
  EXPECT_TRUE(tray.UserAllowsNotices()) << "a text is no switch";
  RegDeleteKeyValueW(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips");
}

}  // namespace
}  // namespace unw
