// The Win32 appearance keeps its contract under Wine: the user's choice is read from where the
// system's settings page writes it, and the change it announces is heard.
#include <windows.h>

#include <gtest/gtest.h>

#include "appearance_contract.h"
#include "backends/win32/appearance_win32.h"

namespace unw {
namespace {

// Where Windows keeps the apps' light or dark mode, as its settings page writes it.
constexpr wchar_t kPersonalize[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

struct Win32AppearanceFixture : ::testing::Test {
  ~Win32AppearanceFixture() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
  }
  Appearance& appearance() { return real; }
  // As the settings page does: the value, then the announcement to every top-level window.
  void UserSets(bool appsDark) {
    const DWORD light = appsDark ? 0 : 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme", REG_DWORD,
                              &light, sizeof light),
              ERROR_SUCCESS);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 2000,
                        &result);
  }
  // Whatever is still on its way to this thread's windows.
  void Settle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  Trace trace{nullptr, ""};
  Win32Appearance real{trace};
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, AppearanceContract, ::testing::Types<Win32AppearanceFixture>);

using Win32AppearanceTest = Win32AppearanceFixture;

TEST_F(Win32AppearanceTest, NoValueIsLightAndOnlyTheSystemsNoticesAreHeard) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
  EXPECT_FALSE(real.Read().appsDark) << "Windows before 10 has no such value: light";
  int heard = 0;
  real.Watch([&] { ++heard; });
  HWND window = FindWindowW(kAppearanceWindowClass, nullptr);
  ASSERT_NE(window, nullptr);
  struct Case {
    UINT msg;
    bool heard;
  };
  const Case cases[] = {{WM_SETTINGCHANGE, true},  {WM_SYSCOLORCHANGE, true},
                        {WM_THEMECHANGED, true},   {WM_TIMECHANGE, false},
                        {WM_DISPLAYCHANGE, false}, {WM_FONTCHANGE, false}};
  for (const Case& c : cases) {
    heard = 0;
    SendMessageW(window, c.msg, 0, 0);
    EXPECT_EQ(heard, c.heard ? 1 : 0) << c.msg;
  }
}

}  // namespace
}  // namespace unw
