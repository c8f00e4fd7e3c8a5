// The Win32 tray and sound player keep their contracts under Wine; the tray's events leave the
// window's own alone, its icons show their pictures, and its record is laid out for the shell it
// meets.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "backends/win32/clock_win32.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/icons_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/pictures.h"
#include "backends/win32/scoped.h"
#include "backends/win32/sound_win32.h"
#include "backends/win32/win32_util.h"
#include "resources/icons/tray_icon_art.h"
#include "sound_contract.h"
#include "tray_contract.h"

namespace unw {
namespace {

constexpr LRESULT kOwnAnswer = 4242;

// The tray service and a plain window of the test's own, whose procedure answers the icon's
// callbacks itself when they reach it.
struct Win32TrayFixture : ::testing::Test {
  static LRESULT CALLBACK Own(HWND h, UINT m, WPARAM w, LPARAM l) {
    return m == Win32NotificationArea::kCallbackMessage ? kOwnAnswer : DefWindowProcW(h, m, w, l);
  }
  Win32TrayFixture() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Own;
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
  // What the shell sends the window about its icon.
  LRESULT Shell(LPARAM what) {
    return SendMessageW(hwnd, Win32NotificationArea::kCallbackMessage, 1, what);
  }
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

using Win32TrayTest = Win32TrayFixture;

TEST_F(Win32TrayTest, TheIconsCallbacksBecomeEventsAndEverythingElseReachesTheWindow) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0x5EED);
  std::vector<TrayEvent> events;
  ASSERT_TRUE(area.Subscribe(window(), [&](TrayEvent e) { events.push_back(e); }));
  // Only the ups, double-clicks and a click on the balloon make events: a right click under
  // Wine also sends WM_CONTEXTMENU, and Wine sends no balloon notices at all; a balloon's end is
  // the program's own to time.
  for (LPARAM l : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                   NIN_BALLOONUSERCLICK, NIN_BALLOONTIMEOUT, WM_MOUSEMOVE, WM_LBUTTONDOWN,
                   WM_RBUTTONDOWN, WM_CONTEXTMENU, NIN_BALLOONSHOW, NIN_BALLOONHIDE})
    EXPECT_EQ(Shell(l), 0) << "the icon's callbacks are the program's alone";
  EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::kLeftClick, TrayEvent::kLeftDoubleClick,
                                            TrayEvent::kRightClick, TrayEvent::kRightDoubleClick,
                                            TrayEvent::kNoticeClicked}));
  SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(events.back(), TrayEvent::kRecreated);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0x5EED) << "the form's user data stays";
  // Subscribing again replaces the sink, never hands out the hook as the window's own: once
  // unsubscribed, the window's own procedure has the callbacks again.
  ASSERT_TRUE(area.Subscribe(window(), [&](TrayEvent) {}));
  area.Unsubscribe(window());
  EXPECT_EQ(Shell(WM_LBUTTONUP), kOwnAnswer);
  EXPECT_EQ(events.size(), 6u);
}

TEST_F(Win32TrayTest, ASinkMayUnsubscribeWhileHandlingAnEvent) {
  int calls = 0;
  area.Subscribe(window(), [&](TrayEvent) {
    ++calls;
    area.Unsubscribe(window());  // the record of this very subscription goes
  });
  EXPECT_EQ(Shell(WM_LBUTTONUP), 0);
  EXPECT_EQ(Shell(WM_LBUTTONUP), kOwnAnswer);
  EXPECT_EQ(calls, 1);
}

// The colour pixels of an icon of `size` pixels (0xAARRGGBB, top row first), each with its mask
// bit on top (1 where the background shows through); empty when the icon is not of that size.
std::vector<uint64_t> IconPixels(HICON icon, int size) {
  ICONINFO info = {};
  GetIconInfo(icon, &info);
  const win32::ScopedGdiObj<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm = {};
  if (!GetObjectW(color, sizeof bm, &bm) || bm.bmWidth != size || bm.bmHeight != size) return {};
  BITMAPINFO bi = win32::TopDownBitmapInfo(size, size);
  std::vector<uint32_t> c(static_cast<size_t>(size * size)), m(c.size());
  const win32::ScopedGetDC dc(nullptr);
  GetDIBits(dc, color, 0, size, c.data(), &bi, DIB_RGB_COLORS);
  GetDIBits(dc, mask, 0, size, m.data(), &bi, DIB_RGB_COLORS);
  std::vector<uint64_t> pixels;
  for (size_t i = 0; i < c.size(); ++i) pixels.push_back(uint64_t{(m[i] & 1) != 0} << 32 | c[i]);
  return pixels;
}

// Where the mask lets the background through, the colour must add nothing to it: systems that
// draw icons without alpha use the mask.
TEST_F(Win32TrayTest, IconsShowTheirPictureWhereItCoversAndTheBackgroundElsewhere) {
  const int size = GetSystemMetrics(SM_CXSMICON);
  for (int set = 0; set < 5; ++set) {
    const std::uintptr_t handle = area.IconHandle(set, 0);
    EXPECT_EQ(area.IconHandle(set, 0), handle) << "made again instead of kept";
    const std::vector<uint64_t> got = IconPixels(reinterpret_cast<HICON>(handle), size);
    const IconImage art = RenderTrayIcon(set, 0, size);
    ASSERT_EQ(got.size(), art.pixels.size()) << "set " << set;
    int wrong = 0;
    for (size_t i = 0; i < got.size(); ++i)
      wrong += got[i] != ((art.pixels[i] >> 24) == 0 ? uint64_t{1} << 32 : art.pixels[i]);
    EXPECT_EQ(wrong, 0) << "set " << set << ": pixels differ from the picture";
  }
  EXPECT_EQ(area.IconHandle(7, 0), 0u) << "there is no such set";
  // Whatever colour a transparent pixel carries, none of it shows.
  IconImage tinted = RenderTrayIcon(1, 0, size);
  for (uint32_t& pixel : tinted.pixels) pixel = pixel >> 24 ? pixel : 0x00FF00FF;
  const win32::ScopedIcon icon = win32::IconFromImage(tinted);
  EXPECT_EQ(IconPixels(icon, size),
            IconPixels(reinterpret_cast<HICON>(area.IconHandle(1, 0)), size));
  // The chooser's Play and Stop buttons: the picture in the middle, the background at the corner.
  for (const char* id : {"play", "stop"}) {
    const win32::ScopedIcon button = win32::PictureIcon(id, 16);
    const std::vector<uint64_t> got = IconPixels(button, 16);
    ASSERT_EQ(got.size(), 256u) << id;
    EXPECT_EQ(got[0], uint64_t{1} << 32) << id;
    EXPECT_EQ(got[8 * 16 + 8] >> 32, 0u) << id;
  }
  EXPECT_EQ(win32::PictureIcon("no-such-picture", 16).get(), nullptr);
}

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
// cut at their field, counted in the shell's UTF-16 units and never inside a character.
TEST(TrayRecordTest, TextsGetTheShellsLineBreaksAndAreCutAtTheirField) {
  auto Repeated = [](const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
  };
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
      {"ab\ncd", 3, "ab"},
      // Counted as the shell counts: a Cyrillic letter is one unit (two bytes), an emoji two.
      {Repeated("\xd0\x96", 100), 128, Repeated("\xd0\x96", 100)},
      {"\xd0\x96\xd0\x96\xd0\x96", 2, "\xd0\x96\xd0\x96"},
      {"a\xf0\x9f\x98\x80"
       "b",
       2, "a"},
      {"a\xf0\x9f\x98\x80"
       "b",
       3, "a\xf0\x9f\x98\x80"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Win32NotificationArea::ShellText(c.text, c.width), c.shown) << c.text;
}

// What the shell got in one call, as a stand-in shell sees it.
struct ShellCallSeen {
  DWORD command;
  UINT flags;
  GUID guid;
  DWORD infoFlags;
};

// The back end over a stand-in shell that records every call and, when `refuseGuid`, refuses to
// add an icon by identity (as Windows does to a copy of the program at another path).
std::vector<ShellCallSeen> CallsFor(bool refuseGuid, std::vector<std::string>* traced = nullptr) {
  std::vector<ShellCallSeen> calls;
  Trace trace{[] { return int64_t{0}; }, ""};
  trace.KeepLines(true);
  Win32FormView view{trace};
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  {
    Win32NotificationArea area{
        trace, view, [&](DWORD command, NOTIFYICONDATAW& nid) {
          calls.push_back({command, nid.uFlags, nid.guidItem, nid.dwInfoFlags});
          return !(refuseGuid && command == NIM_ADD && (nid.uFlags & NIF_GUID));
        }};
    const auto w = win32::AsHandle(hwnd);
    EXPECT_TRUE(area.ShowIcon(w, 0, "Unwindle"));
    EXPECT_TRUE(area.ShowIcon(w, 0, "Unwindle 2"));
    EXPECT_TRUE(area.ShowNotice(w, "Unwindle", "Time is up", NoticeKind::kWarning));
    EXPECT_TRUE(area.ShowNotice(w, "Unwindle", "Plain", NoticeKind::kNone));
    EXPECT_TRUE(area.TakeDownNotice(w));
    EXPECT_TRUE(area.RemoveIcon(w));
  }
  DestroyWindow(hwnd);
  if (traced) *traced = trace.lines();
  return calls;
}

bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The icon goes by a fixed identity wherever the shell takes it; refused, it is added as before,
// by its window, and every later call names it that way.
TEST(TrayRecordTest, TheIconGoesByItsIdentityUnlessTheShellRefusesIt) {
  const GUID none{};
  const std::vector<ShellCallSeen> taken = CallsFor(false), again = CallsFor(false);
  ASSERT_EQ(taken.size(), 7u);  // add, setversion, modify, two notices, take-down, delete
  ASSERT_EQ(again.size(), taken.size());
  EXPECT_FALSE(SameGuid(taken[0].guid, none)) << "no identity";
  for (size_t i = 0; i < taken.size(); ++i) {
    EXPECT_TRUE(taken[i].flags & NIF_GUID) << "call " << i;
    EXPECT_TRUE(SameGuid(taken[i].guid, taken[0].guid)) << "call " << i;
    EXPECT_TRUE(SameGuid(again[i].guid, taken[0].guid))
        << "not the same in another run, call " << i;
  }

  const std::vector<ShellCallSeen> refused = CallsFor(true);
  ASSERT_EQ(refused.size(), taken.size() + 1);  // the add by identity, then the add by window
  EXPECT_EQ(refused[0].command, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(refused[0].flags & NIF_GUID);
  EXPECT_EQ(refused[1].command, static_cast<DWORD>(NIM_ADD));
  for (size_t i = 1; i < refused.size(); ++i) {
    EXPECT_FALSE(refused[i].flags & NIF_GUID) << "call " << i;
    EXPECT_TRUE(SameGuid(refused[i].guid, none)) << "call " << i;
    EXPECT_EQ(refused[i].command, taken[i - 1].command) << "call " << i;
  }
}

// A notice waits out the system's quiet time and shows its icon large when it has one; the
// trace line of the call says its flags.
TEST(TrayRecordTest, NoticesRespectQuietTimeAndShowALargeIcon) {
  std::vector<std::string> traced;
  const std::vector<ShellCallSeen> calls = CallsFor(false, &traced);
  ASSERT_EQ(calls.size(), 7u);
  const ShellCallSeen& warning = calls[3];
  const ShellCallSeen& plain = calls[4];
  EXPECT_TRUE(warning.flags & NIF_INFO);
  EXPECT_EQ(warning.infoFlags & NIIF_ICON_MASK, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_TRUE(warning.infoFlags & NIIF_RESPECT_QUIET_TIME);
  EXPECT_TRUE(warning.infoFlags & NIIF_LARGE_ICON);
  EXPECT_EQ(plain.infoFlags & NIIF_ICON_MASK, static_cast<DWORD>(NIIF_NONE));
  EXPECT_TRUE(plain.infoFlags & NIIF_RESPECT_QUIET_TIME);
  EXPECT_FALSE(plain.infoFlags & NIIF_LARGE_ICON) << "a large icon for a notice without one";
  // Other calls carry no notice flags.
  for (size_t i : {0u, 1u, 2u, 5u, 6u}) EXPECT_EQ(calls[i].infoFlags, 0u) << "call " << i;

  ASSERT_EQ(traced.size(), calls.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    const std::string& line = traced[i];
    EXPECT_EQ(line.substr(line.rfind('\t') + 1), std::to_string(calls[i].infoFlags)) << line;
  }
}

}  // namespace
}  // namespace unw
