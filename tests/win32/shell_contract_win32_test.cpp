// The Win32 tray and sound player keep their contracts under Wine, and the tray's record is laid
// out for the shell it meets.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "backends/win32/form_view_win32.h"
#include "backends/win32/clock_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/sound_win32.h"
#include "backends/win32/win32_util.h"
#include "sound_contract.h"
#include "tray_contract.h"

namespace unw {
namespace {

struct Win32TrayFixture : ::testing::Test {
  Win32TrayFixture() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"UnwindleTrayContractWindow";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  ~Win32TrayFixture() override {
    area.RemoveIcon(window());
    DestroyWindow(hwnd);
  }
  NotificationArea& tray() { return area; }
  std::uintptr_t window() { return win32::AsHandle(hwnd); }
  // Wine's shell library says version 6.
  bool NoticesExpected() { return true; }
  void Shell(LPARAM what) { SendMessageW(hwnd, Win32NotificationArea::kCallbackMessage, 1, what); }
  void Click() { Shell(WM_LBUTTONUP); }
  void ClickNotice() { Shell(NIN_BALLOONUSERCLICK); }
  void NoticeTimesOut() { Shell(NIN_BALLOONTIMEOUT); }

  Trace trace{nullptr, ""};
  Win32FormView view{trace};
  Win32NotificationArea area{trace, view};
  HWND hwnd = nullptr;
};

using TrayBackends = ::testing::Types<Win32TrayFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, TrayContract, TrayBackends);

struct Win32SoundFixture : ::testing::Test {
  SoundPlayer& player() { return sound; }
  std::string KnownClip() { return "UNWINDLE_TEST_CLIP"; }

  Trace trace{nullptr, ""};
  Win32Clock clock;
  Win32EventLoop loop{clock, trace};
  Win32SoundPlayer sound{trace, loop};
};

using SoundBackends = ::testing::Types<Win32SoundFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SoundContract, SoundBackends);

// The record's layout follows the shell library's version: the oldest has no balloon and half
// the tip.
TEST(TrayRecordTest, TheLayoutFollowsTheShellVersion) {
  const std::pair<int, uint32_t> cases[] = {{7, NOTIFYICONDATAA_V3_SIZE},
                                            {6, NOTIFYICONDATAA_V3_SIZE},
                                            {5, NOTIFYICONDATAA_V2_SIZE},
                                            {4, NOTIFYICONDATAA_V1_SIZE},
                                            {-1, NOTIFYICONDATAA_V1_SIZE}};
  for (auto [major, size] : cases)
    EXPECT_EQ(Win32NotificationArea::RecordSizeFor(major), size) << major;
}

// The shell gets its line breaks as "\r\n" whichever the program wrote, texts up to their NUL,
// cut at their field.
TEST(TrayRecordTest, TextsGetTheShellsLineBreaksAndAreCutAtTheirField) {
  const struct {
    std::string text;
    size_t width;
    std::string shown;
  } cases[] = {
      {"Unwindle \nClick", 128, "Unwindle \r\nClick"},
      {"Unwindle \r\nClick", 128, "Unwindle \r\nClick"},
      {"\n\n\r\n", 128, "\r\n\r\n\r\n"},
      {"a\r", 128, "a\r"},
      {std::string(200, 'x'), 128, std::string(128, 'x')},
      {std::string("tip\0rest", 8), 128, "tip"},
      {"ab\ncd", 3, "ab\r"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Win32NotificationArea::ShellText(c.text, c.width), c.shown) << c.text;
}

}  // namespace
}  // namespace unw
