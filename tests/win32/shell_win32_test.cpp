// The Win32 notification area, sound, metrics and popup menu services against
// the real system (run under Wine in a prefix whose desktop has a tray).
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/ui.h"
#include "platform/trace.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/form_view_win32.h"
#include "platform/win32/icons_win32.h"
#include "platform/win32/notification_area_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/system_metrics_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_util.h"
#include "resources/icons/tray_icon_art.h"
#include "temp_folder.h"
#include "tray/tray_icon.h"
#include "tray/tray_record.h"

namespace unw {
namespace {

constexpr UINT kProbe = WM_APP + 7;
constexpr LRESULT kOwnAnswer = 4242;

// A plain window whose own procedure counts the probe messages it gets.
struct OwnWindow {
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kProbe) {
      ++reached;
      return kOwnAnswer;
    }
    return DefWindowProcA(h, m, w, l);
  }
  OwnWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "UnwindleShellTestWindow";
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  ~OwnWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  HWND hwnd = nullptr;
  static inline int reached = 0;
};

std::uintptr_t H(HWND h) {
  return reinterpret_cast<std::uintptr_t>(h);
}

struct ShellTest : ::testing::Test {
  void SetUp() override {
    trace.KeepLines(true);
    OwnWindow::reached = 0;
  }
  Trace trace{nullptr, ""};
  Win32FormView view{trace};
  Win32NotificationArea tray{trace, view};
};

TEST_F(ShellTest, TheIconsCallbacksBecomeEventsAndEverythingElseReachesTheWindow) {
  OwnWindow w;
  ASSERT_TRUE(w.hwnd);
  SetWindowLongPtrA(w.hwnd, GWLP_USERDATA, 0x5EED);
  const LONG_PTR own = GetWindowLongPtrA(w.hwnd, GWLP_WNDPROC);
  std::vector<TrayEvent> events;
  ASSERT_TRUE(tray.Subscribe(H(w.hwnd), [&](TrayEvent e) { events.push_back(e); }));
  const UINT callback = Win32NotificationArea::kCallbackMessage;
  for (LPARAM l : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                   NIN_BALLOONUSERCLICK, NIN_BALLOONTIMEOUT, WM_MOUSEMOVE, WM_LBUTTONDOWN,
                   WM_RBUTTONDOWN, WM_CONTEXTMENU, NIN_BALLOONSHOW, NIN_BALLOONHIDE})
    EXPECT_EQ(SendMessageA(w.hwnd, callback, 1, l), 0);
  EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::kLeftClick, TrayEvent::kLeftDoubleClick,
                                            TrayEvent::kRightClick, TrayEvent::kRightDoubleClick,
                                            TrayEvent::kBalloonClicked, TrayEvent::kBalloonEnded}));
  EXPECT_EQ(OwnWindow::reached, 0) << "callbacks are never passed on";
  EXPECT_EQ(SendMessageA(w.hwnd, kProbe, 0, 0), kOwnAnswer);
  EXPECT_EQ(OwnWindow::reached, 1);
  SendMessageA(w.hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(events.back(), TrayEvent::kRecreated);
  EXPECT_EQ(GetWindowLongPtrA(w.hwnd, GWLP_USERDATA), 0x5EED) << "the form's user data stays";
  // Subscribing again replaces the sink, never hands out the hook as the window's own.
  ASSERT_TRUE(tray.Subscribe(H(w.hwnd), [&](TrayEvent) {}));
  tray.Unsubscribe(H(w.hwnd));
  EXPECT_EQ(GetWindowLongPtrA(w.hwnd, GWLP_WNDPROC), own);
  SendMessageA(w.hwnd, callback, 1, WM_LBUTTONUP);
  EXPECT_EQ(events.size(), 7u);
  tray.Unsubscribe(H(w.hwnd));  // harmless twice
}

TEST_F(ShellTest, ASinkMayUnsubscribeWhileHandlingAnEvent) {
  OwnWindow w;
  int calls = 0;
  tray.Subscribe(H(w.hwnd), [&](TrayEvent) {
    ++calls;
    tray.Unsubscribe(H(w.hwnd));  // the record of this very subscription goes
  });
  SendMessageA(w.hwnd, Win32NotificationArea::kCallbackMessage, 1, WM_LBUTTONUP);
  SendMessageA(w.hwnd, Win32NotificationArea::kCallbackMessage, 1, WM_LBUTTONUP);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(SendMessageA(w.hwnd, kProbe, 0, 0), kOwnAnswer);
}

TEST_F(ShellTest, ShellVersionHasAMajorNumber) {
  uint32_t ms = 0;
  ASSERT_TRUE(tray.ShellFileVersionMS(ms));
  EXPECT_GE(ms >> 16, 5u);
}

TEST_F(ShellTest, IconsCarryTheRenderedPixelsTopRowFirstAndAreKept) {
  const int size = Win32NotificationArea::TrayIconSize(96);
  EXPECT_EQ(size, GetSystemMetrics(SM_CXSMICON));
  for (int set = 0; set < 5; ++set) {
    const std::uintptr_t handle = tray.IconHandle(set, 0);
    ASSERT_NE(handle, 0u) << "set " << set;
    EXPECT_EQ(tray.IconHandle(set, 0), handle) << "made again instead of kept";
    HICON icon = reinterpret_cast<HICON>(handle);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    const win32::ScopedGdiObj<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm = {};
    GetObjectW(color, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    BITMAPINFO bi = win32::TopDownBitmapInfo(size, size);
    std::vector<uint32_t> got(static_cast<size_t>(size * size));
    const win32::ScopedGetDC screen(nullptr);
    ASSERT_EQ(GetDIBits(screen, color, 0, size, got.data(), &bi, DIB_RGB_COLORS), size);
    const IconImage want = RenderTrayIcon(set, 0, size);
    ASSERT_EQ(want.pixels.size(), got.size());
    int wrong = 0;
    for (size_t i = 0; i < got.size(); ++i) {
      const uint32_t w = (want.pixels[i] >> 24) == 0 ? 0 : want.pixels[i];
      if (got[i] != w) ++wrong;
    }
    EXPECT_EQ(wrong, 0) << "set " << set << ": pixels differ from the picture";
  }
  EXPECT_EQ(tray.IconHandle(0, 99), 0u);
  EXPECT_EQ(tray.IconHandle(7, 0), 0u);
}

TEST_F(ShellTest, NotifyIconSendsTheRecordAndTracesIt) {
  OwnWindow w;
  TrayIconData d;
  d.cbSize = kTrayRecordSizeFull;
  d.hWnd = H(w.hwnd);
  d.uID = 1;
  d.uFlags = 7;
  d.hIcon = tray.IconHandle(0, 0);
  d.szTip = FixedField(std::string("Tip text") + '\0', kTipChars);
  d.uTimeout = 3;
  const bool shellThere = FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
  const long added = tray.NotifyIcon(TrayCommand::kAdd, d);
  const long modified = tray.NotifyIcon(TrayCommand::kModify, d);
  const long deleted = tray.NotifyIcon(TrayCommand::kDelete, d);
  const long deletedAgain = tray.NotifyIcon(TrayCommand::kDelete, d);
  ASSERT_EQ(trace.lines().size(), 4u);
  EXPECT_EQ(trace.lines()[0],
            "0\ttray.add\t520\t7\t" + std::to_string(d.hIcon) + "\tTip text\t\t\t0");
  EXPECT_EQ(trace.lines()[2].substr(0, 13), "0\ttray.delete");
  if (!shellThere) GTEST_SKIP() << "no notification area on this desktop";
  EXPECT_EQ(added, 1);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(deletedAgain, 0);
}

TEST(IconTest, AnIconKeepsEveryPixelInPlaceAndMasksTheTransparentOnes) {
  IconImage image;
  image.size = 16;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      // Every pixel different; the left column fully transparent.
      const uint32_t alpha = x == 0 ? 0x00 : 0xFF;
      image.pixels.push_back(alpha << 24 | static_cast<uint32_t>(y) << 16 |
                             static_cast<uint32_t>(x) << 8 | 0x40);
    }
  }
  const win32::ScopedIcon icon = win32::IconFromImage(image);
  ASSERT_TRUE(icon);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  const win32::ScopedGdiObj<HBITMAP> colorBitmap(info.hbmColor), maskBitmap(info.hbmMask);
  EXPECT_TRUE(info.fIcon);
  BITMAPINFO bi = win32::TopDownBitmapInfo(16, 16);
  std::vector<uint32_t> color(256), mask(256);
  {
    const win32::ScopedGetDC dc(nullptr);
    ASSERT_EQ(GetDIBits(dc, colorBitmap, 0, 16, color.data(), &bi, DIB_RGB_COLORS), 16);
    ASSERT_EQ(GetDIBits(dc, maskBitmap, 0, 16, mask.data(), &bi, DIB_RGB_COLORS), 16);
  }
  for (int i = 0; i < 256; ++i) {
    const bool clear = i % 16 == 0;
    EXPECT_EQ(color[i], clear ? 0u : image.pixels[i]) << "pixel " << i;
    // Mask: white where the background shows, black where the icon covers it.
    EXPECT_EQ(mask[i] & 0xFFFFFF, clear ? 0xFFFFFFu : 0u) << "mask " << i;
  }
  EXPECT_EQ(win32::IconFromImage(IconImage{}).get(), nullptr);
}

TEST(SoundTest, AMissingClipIsNotPlayedAndSaysSo) {
  Trace trace{nullptr, ""};
  trace.KeepLines(true);
  Win32SoundPlayer sound(trace);
  EXPECT_EQ(sound.PlayClip("NO_SUCH_CLIP", kSndResource | kSndNoDefault), 0);
  EXPECT_EQ(sound.PlayClip("Z:\\no\\such\\file.wav", kSndFilename | kSndNoDefault), 0);
  sound.PlayClip("", 0);
  EXPECT_EQ(sound.MessageBeep(kMbIconAsterisk), 1);
  ASSERT_EQ(trace.lines().size(), 4u);
  EXPECT_EQ(trace.lines()[0],
            "0\tsound.play\tNO_SUCH_CLIP\t" + std::to_string(kSndResource | kSndNoDefault) + "\t0");
  EXPECT_EQ(trace.lines()[3], "0\tsound.beep\t64");
}

// A short, quiet wave file: 8 kHz, 8-bit mono, 50 ms.
std::string ShortWave() {
  const uint32_t samples = 400;
  auto u32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  auto u16 = [](uint16_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
  };
  std::string w = "RIFF" + u32(36 + samples) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(8000) +
                  u32(8000) + u16(1) + u16(8) + "data" + u32(samples);
  for (uint32_t i = 0; i < samples; ++i) w += static_cast<char>(i % 16 < 8 ? 0x70 : 0x90);
  return w;
}

// Waited for (no SND_ASYNC): only a sound that really played answers TRUE. The test run sends
// the sound into a file instead of a sound card (tests/e2e/run.sh).
TEST(SoundTest, AFileNamedOutsideTheCodePagePlays) {
  Trace trace{nullptr, ""};
  trace.KeepLines(true);
  Win32SoundPlayer sound(trace);
  TempFolder folder;
  const std::string wav = folder.Write("ベル.wav", ShortWave());
  const uint32_t flags = kSndFilename | kSndNoDefault;
  EXPECT_EQ(sound.PlayClip(wav, flags), 1);
  ASSERT_EQ(trace.lines().size(), 1u);
  EXPECT_EQ(trace.lines()[0],
            "0\tsound.play\t" + Trace::Escape(wav) + "\t" + std::to_string(flags) + "\t1");
}

TEST(MetricsTest, NonClientMetricsAreTheSystemsOwn) {
  Win32SystemMetrics metrics;
  NonClientMetricsData m;
  m.cbSize = 340;
  ASSERT_EQ(metrics.GetNonClientMetrics(m), 1);
  EXPECT_EQ(m.cbSize, 340u);
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof ncm;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_EQ(m.iCaptionHeight, ncm.iCaptionHeight);
  EXPECT_EQ(m.iMenuHeight, ncm.iMenuHeight);
  EXPECT_EQ(m.lfMessageFont.lfHeight, ncm.lfMessageFont.lfHeight);
  EXPECT_EQ(m.lfMessageFont.lfWeight, ncm.lfMessageFont.lfWeight);
  EXPECT_EQ(m.lfCaptionFont.lfCharSet, ncm.lfCaptionFont.lfCharSet);
  EXPECT_EQ(m.lfMessageFont.lfFaceName.data(), win32::FieldText(ncm.lfMessageFont.lfFaceName, 32));
  EXPECT_EQ(m.lfStatusFont.lfFaceName.data(), win32::FieldText(ncm.lfStatusFont.lfFaceName, 32));
  EXPECT_NE(m.lfMessageFont.lfFaceName[0], '\0');

  // The record with iPaddedBorderWidth is the other layout the system knows.
  NonClientMetricsData padded;
  padded.cbSize = 344;
  EXPECT_EQ(metrics.GetNonClientMetrics(padded), 1);
  EXPECT_EQ(padded.lfMessageFont.lfHeight, ncm.lfMessageFont.lfHeight);
  NonClientMetricsData tooBig;
  tooBig.cbSize = 4096;
  EXPECT_EQ(metrics.GetNonClientMetrics(tooBig), 0);
}

TEST(MetricsTest, ScreenResolutionIsTheDesktops) {
  Win32SystemMetrics metrics;
  const win32::ScopedGetDC desktop(GetDesktopWindow());
  const int want = GetDeviceCaps(desktop, LOGPIXELSY);
  EXPECT_GT(want, 0);
  EXPECT_EQ(metrics.ScreenPixelsPerInchY(), want);
}

// A form with a hidden top-level menu, as the main window has for the tray.
class PopupForm : public Form {
 public:
  using Form::Form;
  std::vector<std::string> clicked;

 protected:
  void Design() override {
    Control& pop = AddMenu("mPopup", "&Popup", nullptr);
    pop.SetVisible(false);
    AddMenu("mnuHidden", "&Hidden", &pop).SetVisible(false);
    AddMenu("mnuAlpha", "&Alpha", &pop);
    AddMenu("mnuSep", "-", &pop);
    AddMenu("mnuBeta", "&Beta", &pop).SetEnabled(false);
    for (const char* name : {"mnuHidden", "mnuAlpha", "mnuBeta"})
      Ctl(name).onClick = [this, name] { clicked.push_back(name); };
  }
};

struct PopupTest : ::testing::Test {
  void SetUp() override {
    trace.KeepLines(true);
    form.Load();
  }
  void TearDown() override { form.Unload(); }
  // Handles what is waiting until `done` holds or the time is up.
  bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    while (!done()) {
      if (static_cast<int>(end - GetTickCount()) <= 0) return false;
      loop.ProcessPendingEvents();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }
  HWND hwnd() { return reinterpret_cast<HWND>(form.hWnd()); }
  Trace trace{nullptr, ""};
  Win32Clock clock;
  Win32FormView view{trace};
  Win32EventLoop loop{clock, trace};
  Win32Dialogs dialogs{trace};
  Ui ui{view, loop, dialogs};
  PopupForm form{ui, "frmPopup"};
};

TEST_F(PopupTest, TheMenuShowsTheItemsAsTheyStandAndAChosenItemClicks) {
  form.Ctl("mnuAlpha").SetDefault(true);
  form.Ctl("mnuAlpha").SetChecked(true);
  // The keys wait in the queue; the menu's own loop takes them: the first
  // item down, then Enter.
  PostMessageA(hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  view.ShowPopupMenu(form, form.Ctl("mPopup"));
  EXPECT_TRUE(PumpUntil([&] { return !form.clicked.empty(); }));
  ASSERT_EQ(form.clicked.size(), 1u);
  EXPECT_EQ(form.clicked[0], "mnuAlpha");

  HMENU menu = view.PopupMenu(form.Ctl("mPopup"));
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu), 3);  // the hidden item left out
  EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, 0), 0u);
  int popups = 0;
  for (const auto& l : trace.lines()) popups += l == "0\tmenu.popup\tfrmPopup\tmPopup";
  EXPECT_EQ(popups, 1);
}

TEST_F(PopupTest, EscapeClosesTheMenuWithoutAClick) {
  PostMessageA(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  view.ShowPopupMenu(form, form.Ctl("mPopup"));
  // A chosen item's command is posted before the menu returns.
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, hwnd(), WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
  loop.ProcessPendingEvents();
  EXPECT_TRUE(form.clicked.empty());
}

}  // namespace
}  // namespace unw
