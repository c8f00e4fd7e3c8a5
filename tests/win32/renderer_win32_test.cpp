// The Win32 renderer against the real system: text that is never cut, the
// pictures, window sizes, the controls the windows use, their keyboard
// handling and the tray's popup menu.
#include <windows.h>
#include <wtsapi32.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/ui.h"
#include "backends/win32/automation.h"
#include "backends/win32/chart_win32.h"
#include "backends/win32/clock_win32.h"
#include "backends/win32/dialogs_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/fonts_win32.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/pictures.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/window_system_win32.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/presence_win32.h"
#include "backends/win32/sound_win32.h"
#include "forge.h"
#include "monitors_contract.h"

namespace unw {
namespace {

// What `paint` leaves on a w x h picture of the button face colour, pixel by pixel as 0xRRGGBB,
// rows from the top, and what it changed there: how many pixels, and where the changed ones end.
struct Shot {
  Shot(int width, int height, const std::function<void(HDC)>& paint) : w(width), h(height) {
    BITMAPINFO bi = win32::TopDownBitmapInfo(w, h);
    void* bits = nullptr;
    const win32::ScopedGetDC screen(nullptr);
    const win32::ScopedMemDC dc(CreateCompatibleDC(screen));
    const win32::ScopedGdiObj<HBITMAP> bmp(
        CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win32::ScopedSelect selected(dc, bmp);
    RECT rc = {0, 0, w, h};
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    paint(dc);
    GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    pixels.assign(px, px + w * h);
    for (int i = 0; i < w * h; ++i) {
      if ((pixels[i] &= 0xFFFFFF) == Of(COLOR_BTNFACE)) continue;
      ++ink;
      right = std::max(right, i % w + 1);
      bottom = std::max(bottom, i / w + 1);
    }
  }
  // What a control paints of itself (WM_PRINTCLIENT) over its client area.
  explicit Shot(HWND control)
      : Shot(Client(control).right, Client(control).bottom, [control](HDC dc) {
          SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        }) {}
  static RECT Client(HWND h) {
    RECT rc = {};
    GetClientRect(h, &rc);
    return rc;
  }
  static uint32_t Of(int sysColor) {
    const COLORREF c = GetSysColor(sysColor);
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  uint32_t At(int x, int y) const { return pixels[y * w + x]; }
  // The columns that hold `color` somewhere, as runs [first, last] from the left.
  std::vector<std::pair<int, int>> Columns(uint32_t color) const {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < w; ++x) {
      bool any = false;
      for (int y = 0; y < h && !any; ++y) any = At(x, y) == color;
      if (!any) continue;
      if (!runs.empty() && runs.back().second == x - 1)
        runs.back().second = x;
      else
        runs.emplace_back(x, x);
    }
    return runs;
  }
  // How many pixels of column `x` have `color`.
  int Height(int x, uint32_t color) const {
    int n = 0;
    for (int y = 0; y < h; ++y) n += At(x, y) == color;
    return n;
  }
  int w = 0, h = 0, ink = 0, right = 0, bottom = 0;
  std::vector<uint32_t> pixels;
};

TEST(PicturesTest, EveryPictureTheWindowsNameIsDrawnAtEverySize) {
  for (const char* id : {"play", "stop", "remind", "defaults", "logo", "start", "unwindle", "about",
                         "save", "exit", "sys.information", "sys.exclamation", "sys.stop",
                         "sys.question", "tray:0:0", "tray:1:48", "tray:4:1"}) {
    EXPECT_TRUE(win32::HasPicture(id)) << id;
    for (int size : {16, 32, 64, 96}) {
      const Shot drawn(size, size, [&](HDC dc) {
        EXPECT_TRUE(win32::DrawPicture(dc, RECT{0, 0, size, size}, id, true)) << id;
      });
      EXPECT_GT(drawn.ink, size * size / 10) << id << " at " << size << " px draws next to nothing";
    }
  }
  EXPECT_FALSE(win32::HasPicture("no-such-picture") || win32::HasPicture("tray:9:0"));
}

// A form whose design the test writes; it records the clicks and the focus of its controls.
class TestForm : public Form {
 public:
  TestForm(Ui& ui, const std::string& name, std::function<void(TestForm&)> design)
      : Form(ui, name), design_(std::move(design)) {}
  using Form::Add;
  using Form::AddMenu;
  using Form::SetBorder;
  // A control with this caption, 2400 x 300 twips below the one placed before.
  Control& Place(ControlKind kind, const std::string& name, const std::string& caption = "",
                 int index = -1) {
    Control& c = Add(kind, name, nullptr, index);
    c.SetCaption(caption);
    c.Move(120, 120 + 420 * static_cast<int>(controls().size()), 2400, 300);
    return c;
  }
  std::vector<std::string> clicks, focused;
  int inputs = 0;  // keys and clicks the window heard of

 protected:
  void Form_Input() override { ++inputs; }
  void Design() override {
    design_(*this);
    for (const auto& c : controls()) {
      Control* p = c.get();
      if (!p->onClick) p->onClick = [this, p] { clicks.push_back(p->Id()); };
      if (!p->onGotFocus) p->onGotFocus = [this, p] { focused.push_back(p->Id()); };
    }
  }

 private:
  std::function<void(TestForm&)> design_;
};

// The program's main window, shown, and a dialog whose design each test writes.
struct FormsTest : ::testing::Test {
  void SetUp() override { main.Show(); }
  void TearDown() override {
    for (TestForm* f : {&dialog, &main}) f->Unload();
  }
  HWND H(const Form& f) { return reinterpret_cast<HWND>(f.hWnd()); }
  // The dialog's control with this design name ("name(index)" in a control array).
  HWND Child(const char* name) {
    HWND c = GetWindow(H(dialog), GW_CHILD);
    while (c &&
           win32::GlobalAtomText(reinterpret_cast<WPARAM>(GetPropW(c, L"UnwindleName"))) != name)
      c = GetWindow(c, GW_HWNDNEXT);
    return c;
  }
  LONG_PTR Style(HWND h) { return GetWindowLongPtrW(h, GWL_STYLE); }
  // The design name of the control (or the form) that has the keyboard focus.
  static std::string Focused() {
    HWND f = GetFocus();
    return f ? win32::GlobalAtomText(reinterpret_cast<WPARAM>(GetPropW(f, L"UnwindleName")))
             : "<none>";
  }
  // Tab (Shift+Tab when `back`) as the message loop offers it: to the window with the focus, or,
  // when no window has it, to the active window as a system key. Answers where the focus went.
  std::string Tab(bool back = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = back ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND focus = GetFocus();
    Key(focus ? WM_KEYDOWN : WM_SYSKEYDOWN, VK_TAB, focus ? focus : GetActiveWindow());
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return Focused();
  }
  // Offers a key to the renderer as the message loop would.
  bool Key(UINT message, WPARAM key, HWND to) {
    MSG msg = {to, message, key, 0, 0, {}};
    return view.PreTranslate(msg);
  }
  Trace trace{nullptr, ""};
  Win32Clock clock;
  Win32FormView view{trace};
  Win32EventLoop loop{clock, trace};
  Win32Dialogs dialogs{trace};
  Ui ui{view, loop, dialogs};
  // The main window's design: none unless a test writes one (and loads the window again).
  std::function<void(TestForm&)> mainDesign = [](TestForm&) {};
  TestForm main{ui, "frmMain", [this](TestForm& f) { mainDesign(f); }};
  std::function<void(TestForm&)> design = [](TestForm&) {};
  TestForm dialog{ui, "frmDialog", [this](TestForm& f) { design(f); }};
};

// As the prompts lay out their messages: a label as large as MeasureText says.
TEST_F(FormsTest, ALabelSizedByMeasureTextShowsAllOfItsTextAndNoMore) {
  // The core ends lines with LF; the window holds them ended as Windows ends them.
  const std::string text =
      "A short period of rest every while can reduce repetitive-stress injuries.\n"
      "Übung macht den Meister – ベル\n\n"
      "What do you want to do?";
  const std::string windowsText =
      "A short period of rest every while can reduce repetitive-stress injuries.\r\n"
      "Übung macht den Meister – ベル\r\n\r\n"
      "What do you want to do?";
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  Font font;  // the system's message font, as the prompts use it
  font.name = win32::FieldText(ncm.lfMessageFont.lfFaceName, LF_FACESIZE);
  design = [&](TestForm& f) {
    Control& label = f.Add(ControlKind::kLabel, "lblMessage");
    label.SetFont(font);
    label.SetCaption(text);
    const TextSize size = view.MeasureText(font, text);
    label.Move(840, 240, size.width, size.height);
  };
  for (float points : {8.25f, 9.75f, 12.0f}) {
    font.size = points;
    dialog.Load();
    EXPECT_EQ(win32::WindowText(Child("lblMessage")), windowsText);
    RECT rc = {};
    GetClientRect(Child("lblMessage"), &rc);
    // What the label paints against the same text drawn without any bounds.
    const Shot shown(Child("lblMessage"));
    const auto gdiFont = win32::CreateModelFont(font, win32::ScreenDpi());
    const Shot whole(rc.right + 200, rc.bottom + 200, [&](HDC dc) {
      const win32::ScopedSelect selected(dc, gdiFont);
      SetBkMode(dc, TRANSPARENT);
      RECT all = {0, 0, rc.right + 200, rc.bottom + 200};
      DrawTextW(dc, win32::Wide(windowsText).c_str(), -1, &all, DT_LEFT | DT_NOCLIP);
    });
    EXPECT_GT(whole.ink, 0);
    EXPECT_EQ(shown.ink, whole.ink) << "at " << points << " points the label (" << rc.right << " x "
                                    << rc.bottom << ") cuts or wraps its text";
    // Nor is it much larger: a last glyph's ink may end a little before its advance.
    EXPECT_LE(rc.right * 10, whole.right * 11) << points;
    EXPECT_LE(rc.bottom * 10, whole.bottom * 11) << points;
    dialog.Unload();
  }
}

// Sizes are twips (1440 to the inch) of the whole window or of its inside; a dialog opens centred
// with the size its Form_Load gave it; a borderless one (the splash) keeps a thin line.
TEST_F(FormsTest, SizesAreOfTheWholeWindowOrItsInsideAndADialogOpensCentred) {
  for (BorderStyle border : {BorderStyle::kFixedSingle, BorderStyle::kNone}) {
    const bool framed = border != BorderStyle::kNone;
    design = [&](TestForm& f) { f.SetBorder(border, false, false, framed, false); };
    dialog.Load();
    dialog.SetOuterSize(7200, 2880);
    dialog.Show();
    const int inch = static_cast<int>(win32::DpiOf(H(dialog)));
    RECT wr, cr;
    GetWindowRect(H(dialog), &wr);
    EXPECT_EQ(wr.right - wr.left, 5 * inch);
    EXPECT_EQ(wr.bottom - wr.top, 2 * inch);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(H(main), MONITOR_DEFAULTTOPRIMARY), &mi);
    EXPECT_LE(std::abs((wr.left - mi.rcWork.left) - (mi.rcWork.right - wr.right)), 1);
    EXPECT_LE(std::abs((wr.top - mi.rcWork.top) - (mi.rcWork.bottom - wr.bottom)), 1);
    dialog.SetSize(4320, 1440);
    GetClientRect(H(dialog), &cr);
    EXPECT_EQ(cr.right, 3 * inch);
    EXPECT_EQ(cr.bottom, inch);
    EXPECT_EQ((Style(H(dialog)) & WS_CAPTION) == WS_CAPTION, framed);
    EXPECT_TRUE(Style(H(dialog)) & WS_BORDER);
    dialog.Unload();
  }
}

TEST_F(FormsTest, EnterEscAndAccessKeysPressTheDialogsButtonsOrEnterItsFrames) {
  design = [](TestForm& f) {
    f.Place(ControlKind::kButton, "cmdOK", "&Ok").SetDialogKeys(true, false);
    f.Place(ControlKind::kButton, "cmdCancel", "Cancel").SetDialogKeys(false, true);
    f.Place(ControlKind::kButton, "cmdUnwindle", "&Unwindle").SetPicture("unwindle");
    Control& frame = f.Place(ControlKind::kFrame, "fraBreak", "&Break Time");
    f.Add(ControlKind::kTextBox, "txtMinutes", &frame).Move(120, 300, 600, 300);
  };
  dialog.Show();
  HWND minutes = Child("txtMinutes"), cancel = Child("cmdCancel");
  EXPECT_EQ(Style(Child("cmdOK")) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "the default is marked";
  SetFocus(minutes);
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, minutes));
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE, minutes));
  EXPECT_TRUE(Key(WM_SYSCHAR, 'u', H(dialog)));
  SetFocus(cancel);
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, cancel)) << "Enter presses the focused button";
  EXPECT_TRUE(Key(WM_SYSCHAR, 'B', H(dialog)));
  EXPECT_EQ(GetFocus(), minutes);
  EXPECT_EQ(dialog.clicks,
            (std::vector<std::string>{"cmdOK", "cmdCancel", "cmdUnwindle", "cmdCancel"}));
  // Typed into a text box, a letter is typing, not an access key. A disabled default button is
  // not pressed: the key goes on.
  EXPECT_FALSE(Key(WM_CHAR, 'u', minutes));
  dialog.Ctl("cmdOK").SetEnabled(false);
  EXPECT_FALSE(Key(WM_KEYDOWN, VK_RETURN, minutes));
  EXPECT_EQ(dialog.clicks.size(), 4u);
}

// As the main window is built: picture buttons in frames without captions, a frame with a caption
// around the time display, hidden entry boxes. Tab goes through every control that can take the
// focus in the design's order and round again; Shift+Tab goes back.
TEST_F(FormsTest, TabAndShiftTabReachEveryControlOfTheMainWindowInTheDesignsOrder) {
  main.Unload();
  mainDesign = [](TestForm& f) {
    f.SetBorder(BorderStyle::kFixedSingle, true, false, true, true);
    auto button = [&f](const char* name, Control& frame, const char* picture, int left) {
      Control& b = f.Add(ControlKind::kButton, name, &frame);
      b.SetToolTip(name);
      b.SetPicture(picture);
      b.Move(left, 195, 600, 480);
      return &b;
    };
    Control& about = f.Add(ControlKind::kFrame, "fraAboutClose");
    about.Move(2520, 1380, 2040, 780);
    button("cmdAbout", about, "about", 300);
    button("cmdExit", about, "exit", 1140);
    Control& sps = f.Add(ControlKind::kFrame, "fraStartPauseStop");
    sps.Move(120, 1380, 2280, 780);
    button("cmdStart", sps, "start", 135);
    button("cmdPause", sps, "pause", 840)->SetEnabled(false);
    button("cmdStop", sps, "stop", 1545);
    Control& time = f.Add(ControlKind::kFrame, "fraTimeRemaining");
    time.SetCaption("Time Remaining Before Break (HH:MM:SS)");
    time.Move(120, 60, 4440, 1260);
    button("cmdChange", time, "change", 3180);
    button("cmdSave", time, "save", 3180)->SetVisible(false);
    f.Add(ControlKind::kTextBox, "txtHours", &time).SetVisible(false);
    Control& label = f.Add(ControlKind::kLabel, "lblHours", &time);
    label.SetCaption("88");
    label.Move(180, 300, 780, 780);
  };
  main.SetSize(4680, 2280);
  main.Show();
  SetForegroundWindow(H(main));
  ASSERT_EQ(GetActiveWindow(), H(main));
  const std::vector<std::string> order = {"cmdAbout", "cmdExit", "cmdStart", "cmdStop",
                                          "cmdChange"};
  std::vector<std::string> forth, back;
  for (size_t i = 0; i <= order.size(); ++i) forth.push_back(Tab());
  for (size_t i = 0; i < order.size(); ++i) back.push_back(Tab(true));
  std::vector<std::string> want = order;
  want.push_back(order.front());
  EXPECT_EQ(forth, want) << "Tab, from the window itself";
  EXPECT_EQ(back, std::vector<std::string>(order.rbegin(), order.rend())) << "Shift+Tab";
  // Start pressed: the button greys with the focus on it. The keyboard goes on from there.
  main.Ctl("cmdStart").SetFocus();
  ASSERT_EQ(Focused(), "cmdStart");
  main.Ctl("cmdStart").SetEnabled(false);
  main.Ctl("cmdPause").SetEnabled(true);
  EXPECT_EQ(Focused(), "cmdStop") << "the focus goes on to the next control";
  EXPECT_EQ(Tab(true), "cmdPause");
  // Active with no control focused (its last one went): Tab starts at the first, Shift+Tab at
  // the last.
  SetFocus(nullptr);
  EXPECT_EQ(Tab(), "cmdAbout");
  SetFocus(nullptr);
  EXPECT_EQ(Tab(true), "cmdChange");
}

// As the preferences are built: fields, check boxes and option groups in frames, picture buttons
// last. Tab follows the design (of an option group, to its chosen option, as Windows does); Enter
// presses the default picture button, Esc the cancel one.
TEST_F(FormsTest, ADialogTabsInTheDesignsOrderAndEnterAndEscPressItsPictureButtons) {
  design = [](TestForm& f) {
    Control& timer = f.Place(ControlKind::kFrame, "fraMainTimer", "&Main Timer");
    f.Add(ControlKind::kTextBox, "txtHours", &timer).Move(120, 300, 600, 300);
    f.Add(ControlKind::kCheckBox, "chkStart", &timer).Move(840, 300, 1200, 300);
    Control& alert = f.Place(ControlKind::kFrame, "fraAlertMeBy", "&Alert Me By");
    for (int i = 0; i < 2; ++i) {
      Control& o = f.Add(ControlKind::kOption, "optAlertMeBy", &alert, i);
      o.SetCaption(i ? "&Flashing" : "&Displaying");
      o.Move(120 + 1200 * i, 300, 1100, 300);
      o.SetValue(i);
    }
    Control& buttons = f.Place(ControlKind::kFrame, "fraButtons");
    for (const char* name : {"cmdSave", "cmdExit"}) {
      Control& b = f.Add(ControlKind::kButton, name, &buttons);
      b.SetPicture(name[3] == 'S' ? "save" : "exit");
      b.SetToolTip(name);
      b.Move(name[3] == 'S' ? 120 : 840, 60, 600, 240);
      b.SetDialogKeys(name[3] == 'S', name[3] == 'E');
    }
  };
  dialog.Show();
  SetForegroundWindow(H(dialog));
  ASSERT_EQ(GetActiveWindow(), H(dialog));
  EXPECT_EQ(Focused(), "txtHours") << "the dialog opens in its first field";
  std::vector<std::string> forth;
  for (int i = 0; i < 4; ++i) forth.push_back(Tab());
  EXPECT_EQ(forth, (std::vector<std::string>{"chkStart", "optAlertMeBy(1)", "cmdSave", "cmdExit"}));
  EXPECT_EQ(Tab(), "txtHours");
  EXPECT_EQ(Tab(true), "cmdExit");
  dialog.Ctl("txtHours").SetFocus();
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, Child("txtHours")));
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE, Child("txtHours")));
  EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"cmdSave", "cmdExit"}));
}

TEST_F(FormsTest, TextBoxesTakeLimitLockSelectionFocusAndTypingThroughTheModel) {
  design = [](TestForm& f) {
    Control& box = f.Place(ControlKind::kTextBox, "txtHours");
    box.SetMaxLength(2);
    box.onKeyPress = [](int& key) { key = key >= '0' && key <= '9' ? key : 0; };
    f.Place(ControlKind::kTextBox, "txtFile");
    f.Place(ControlKind::kButton, "cmdFirst", "&First");
  };
  dialog.Show();
  HWND hours = Child("txtHours"), file = Child("txtFile");
  Control& model = dialog.Ctl("txtHours");
  EXPECT_EQ(GetFocus(), hours) << "the dialog opens with the focus in its first field";
  for (bool locked : {true, false}) {
    dialog.Ctl("txtFile").SetLocked(locked);
    EXPECT_EQ((Style(file) & ES_READONLY) != 0, locked);
  }
  model.SetText("12");
  model.SetSelection(0, 2);
  SetFocus(Child("cmdFirst"));
  dialog.focused.clear();
  model.SetFocus();
  EXPECT_EQ(GetFocus(), hours);
  EXPECT_EQ(dialog.focused, std::vector<std::string>{"txtHours"});
  // Typed keys reach the model first: the letter is swallowed, the first digit replaces the
  // selection (all of the text), and the limit holds against the last.
  for (wchar_t typed : {L'a', L'7', L'8', L'9'}) SendMessageW(hours, WM_CHAR, typed, 1);
  EXPECT_EQ(model.text(), "78");
}

TEST_F(FormsTest, ChoicesShowTheModelAndAClickAccessKeyOrPickGoesThroughItOnce) {
  design = [](TestForm& f) {
    f.Place(ControlKind::kCheckBox, "chkLock", "Lock &Workstation");
    for (int i : {0, 1}) f.Place(ControlKind::kOption, "optAlert", i ? "&Flashing" : "&Dialog", i);
    f.Place(ControlKind::kComboBox, "cboTrayIcon");
    f.Place(ControlKind::kListBox, "lstPrograms");
  };
  dialog.Show();
  HWND check = Child("chkLock"), combo = Child("cboTrayIcon"), box = Child("lstPrograms");
  auto ticked = [](HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.Ctl("chkLock").value(), 1);
  EXPECT_TRUE(ticked(check));
  EXPECT_TRUE(Key(WM_SYSCHAR, 'w', H(dialog)));
  EXPECT_EQ(dialog.Ctl("chkLock").value(), 0);
  EXPECT_FALSE(ticked(check));
  dialog.Ctl("chkLock").SetValue(1);
  EXPECT_TRUE(ticked(check));
  // The option clicked last is the one chosen, in the model and on the screen.
  for (const char* option : {"optAlert(0)", "optAlert(1)"})
    SendMessageW(Child(option), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.Ctl("optAlert", 0).value(), 0);
  EXPECT_EQ(dialog.Ctl("optAlert", 1).value(), 1);
  EXPECT_FALSE(ticked(Child("optAlert(0)")));
  EXPECT_TRUE(ticked(Child("optAlert(1)")));
  // A list shows the model's choice; the user's pick reaches the model once.
  Control& list = dialog.Ctl("cboTrayIcon");
  int picks = 0;
  list.onClick = [&] { ++picks; };
  list.SetItems({"Classic Clock", "Computer Modem", "Phases of the Moon"});
  list.Select(1);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  SendMessageW(combo, CB_SETCURSEL, 2, 0);
  SendMessageW(H(dialog), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(list.value(), 2);
  EXPECT_EQ(picks, 2) << "one for the model's choice, one for the user's";
  // A list box too, with its entries in the model's order and none chosen once they change.
  Control& programs = dialog.Ctl("lstPrograms");
  int chosen = 0;
  programs.onClick = [&] { ++chosen; };
  programs.SetItems({"obs64.exe", "POWERPNT.EXE", "Teams.exe"});
  programs.Select(2);
  EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), 2);
  SendMessageW(box, LB_SETCURSEL, 0, 0);
  SendMessageW(H(dialog), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
  EXPECT_EQ(programs.value(), 0);
  EXPECT_EQ(chosen, 2);
  programs.SetItems({"Teams.exe", "obs64.exe"});
  programs.SetValue(-1);
  EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(chosen, 2) << "what the program sets is no pick";
}

// This test program's code page is not UTF-8: only the wide calls keep these characters.
TEST_F(FormsTest, TextsReachTheWindowsWithEveryCharacterAndTypingReachesTheModel) {
  const std::string word = "Übung ベル \xF0\x9F\x94\x94";
  design = [&](TestForm& f) {
    f.SetCaption(word);
    f.Place(ControlKind::kButton, "cmdWord", word);
    f.Place(ControlKind::kLabel, "lblWord", word);
    f.Place(ControlKind::kComboBox, "cboWords").SetItems({"Glocke", word});
    f.Place(ControlKind::kListBox, "lstWords").SetItems({word});
    f.Place(ControlKind::kTextBox, "txtWord");
    f.AddMenu("mnuWord", word, nullptr);
  };
  dialog.Show();
  HWND combo = Child("cboWords"), box = Child("txtWord");
  dialog.Ctl("cboWords").SetText(word);
  dialog.Ctl("txtWord").SetText(word);
  wchar_t item[64] = {}, entry[64] = {}, menu[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
  SendMessageW(Child("lstWords"), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
  GetMenuStringW(GetMenu(H(dialog)), 0, menu, 64, MF_BYPOSITION);
  using win32::WindowText;
  const struct {
    const char* what;
    std::string shown;
  } shown[] = {{"caption", WindowText(H(dialog))},      {"button", WindowText(Child("cmdWord"))},
               {"label", WindowText(Child("lblWord"))}, {"text box", WindowText(box)},
               {"list item", win32::Utf8(item)},        {"list box entry", win32::Utf8(entry)},
               {"chosen item", WindowText(combo)},      {"menu", win32::Utf8(menu)}};
  for (const auto& s : shown) EXPECT_EQ(s.shown, word) << s.what;
  // Typed characters, one of them outside the BMP (two WM_CHARs), reach the model as UTF-8.
  dialog.Ctl("txtWord").SetText("");
  for (wchar_t typed : {L'ü', L'ベ', L'\xD83D', L'\xDD14'}) SendMessageW(box, WM_CHAR, typed, 1);
  EXPECT_EQ(dialog.Ctl("txtWord").text(), "üベ\xF0\x9F\x94\x94");
}

TEST_F(FormsTest, ClickablePicturesAndLabelsClickShowAHandAndLinksAreBlue) {
  design = [](TestForm& f) {
    f.Place(ControlKind::kPicture, "picLogo").SetPicture("logo");
    f.Place(ControlKind::kLabel, "lblURL", "https://korvante.example/unwindle");
    f.Place(ControlKind::kLabel, "lblPlain", "Copyright KORVANTE.");
  };
  dialog.Show();
  dialog.Ctl("lblPlain").onClick = nullptr;  // the test form gave it one, as every control
  for (const char* name : {"picLogo", "lblURL", "lblPlain"}) {
    HWND h = Child(name);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageW(H(dialog), WM_SETCURSOR, reinterpret_cast<WPARAM>(h),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor() == LoadCursor(nullptr, IDC_HAND), name != std::string("lblPlain"))
        << name;
  }
  EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"picLogo", "lblURL"}));
  const win32::ScopedGetDC dc(H(dialog));
  for (const std::string name : {"lblURL", "lblPlain"}) {
    SendMessageW(H(dialog), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                 reinterpret_cast<LPARAM>(Child(name.c_str())));
    EXPECT_EQ(GetBValue(GetTextColor(dc)) > GetRValue(GetTextColor(dc)), name == "lblURL")
        << name << ": a link is blue, plain text is not";
  }
}

// The Statistics chart: what the model describes, painted in the system's colours as they are
// when it paints (a high-contrast scheme chosen meanwhile holds); no count or label runs over into
// its neighbour's slot; a click names the bar under it, found from what was painted, and so do
// the keys while the chart has the keyboard, with a focus frame shown only then.
TEST_F(FormsTest, AChartIsPaintedInTheSystemsColoursAndAClickOrAKeyNamesABar) {
  std::vector<int> bars;
  design = [&](TestForm& f) {
    Control& pic = f.Place(ControlKind::kPicture, "picChart");
    pic.Move(120, 120, 8640, 4560);
    pic.onChartClick = [&](int bar) {
      bars.push_back(bar);
      Chart moved = f.Ctl("picChart").chart();
      moved.chosen = bar;
      f.Ctl("picChart").SetChart(moved);
    };
  };
  dialog.Show();
  SetForegroundWindow(H(dialog));
  // A fortnight as the window shows it, the widest labels and counts in it.
  Chart chart;
  chart.rows = {{"Breaks taken", {}}, {"Short breaks", {}}, {"Breaks skipped", {}}};
  for (int i = 0; i < 14; ++i) {
    chart.bars.push_back({i == 0   ? "We\n28/11"
                          : i == 4 ? "Su\n1/12"
                                   : "Mo\n" + std::to_string(20 + i),
                          i == 12 ? 7200 : 0});
    chart.rows[0].counts.push_back(i % 3 == 0 ? 12 : 0);
    chart.rows[1].counts.push_back(i == 5 ? 20 : 0);
    chart.rows[2].counts.push_back(i == 11 ? 30 : 1);
  }
  chart.top = 14400;
  chart.ticks = {{0, "0"}, {7200, "2 h"}, {14400, "4 h"}};
  chart.barKey = "time worked";
  chart.chosen = 13;
  dialog.Ctl("picChart").SetChart(chart);
  HWND pic = Child("picChart");
  ASSERT_TRUE(Style(pic) & WS_TABSTOP) << "a chart takes the keyboard";

  const int colors[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                        COLOR_GRAYTEXT};
  COLORREF saved[std::size(colors)];
  for (size_t i = 0; i < std::size(colors); ++i) saved[i] = GetSysColor(colors[i]);
  const COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 255, 255), RGB(0, 0, 0),
                               RGB(0, 255, 0)};
  for (const COLORREF* scheme : {static_cast<const COLORREF*>(saved), contrast}) {
    SetSysColors(static_cast<int>(std::size(colors)), colors, scheme);
    dialog.Ctl("picChart").SetChart(chart);  // today chosen again
    const Shot shot(pic);
    const uint32_t window = Shot::Of(COLOR_WINDOW), highlight = Shot::Of(COLOR_HIGHLIGHT);
    const uint32_t text = Shot::Of(COLOR_WINDOWTEXT);
    EXPECT_EQ(shot.At(shot.w / 2, 2), window) << "the chart's own background";
    // The chosen day's label and counts are highlighted across its slot, the last.
    const auto runs = shot.Columns(highlight);
    ASSERT_GE(runs.size(), 1u);
    const auto chosen = runs.back();
    const int slot = chosen.second - chosen.first + 1, left = chosen.first - 13 * slot;
    EXPECT_GT(slot, shot.w / 20) << "fourteen slots share most of the width";
    EXPECT_GT(left, shot.w / 10) << "the rows' names stand at the left";
    // Where the labels and counts are (the chosen cell's height), no text touches the line
    // between two slots: nothing runs over into its neighbour.
    int cellTop = shot.h, cellBottom = 0;
    for (int y = 0; y < shot.h; ++y) {
      if (shot.At((chosen.first + chosen.second) / 2, y) != highlight) continue;
      if (y + 1 < shot.h && shot.At((chosen.first + chosen.second) / 2, y + 1) == highlight)
        cellTop = std::min(cellTop, y);
      cellBottom = y;
    }
    ASSERT_GT(cellBottom - cellTop, shot.h / 5) << "two lines of label and three rows";
    for (int edge = 1; edge < 14; ++edge)
      for (int y = cellTop; y <= cellBottom; ++y)
        ASSERT_NE(shot.At(left + edge * slot, y), text) << "at the edge after slot " << edge - 1;
    // Clicks at the middle of a slot, and left of them all, on the scale.
    for (int x : {left + 12 * slot + slot / 2, left + slot / 2, 2})
      SendMessageW(pic, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, shot.h / 3));
  }
  SetSysColors(static_cast<int>(std::size(colors)), colors, saved);
  EXPECT_EQ(bars, (std::vector<int>{12, 0, 12, 0})) << "no bar left of the bars";
  EXPECT_TRUE(dialog.clicks.empty()) << "a chart's click is no click of the picture";

  // The keys, from the first bar: they stop at either end.
  EXPECT_EQ(GetFocus(), pic) << "a click gives the chart the keyboard";
  EXPECT_EQ(SendMessageW(pic, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
  bars.clear();
  for (WPARAM key : {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_HOME, VK_LEFT, VK_END, VK_RIGHT})
    SendMessageW(pic, WM_KEYDOWN, key, 0);
  EXPECT_EQ(bars, (std::vector<int>{1, 2, 1, 0, 0, 13, 13}));
  // The focus frame: the chart looks otherwise with the keyboard than without.
  const Shot focused(pic);
  SetFocus(nullptr);
  const Shot unfocused(pic);
  EXPECT_NE(focused.pixels, unfocused.pixels);
}

// The chart's colours: the system's whatever else is asked in a high-contrast scheme; dark, a
// dark background with light text and bars that stand out from it.
TEST(ChartColors, HighContrastTakesTheSystemsAndDarkIsLightOnDark) {
  auto light = [](COLORREF c) {
    return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
  };
  for (bool dark : {false, true}) {
    const win32::ChartColors hc = win32::ChartColorsFor(dark, true);
    EXPECT_EQ(hc.background, GetSysColor(COLOR_WINDOW)) << dark;
    EXPECT_EQ(hc.text, GetSysColor(COLOR_WINDOWTEXT)) << dark;
    EXPECT_EQ(hc.chosen, GetSysColor(COLOR_HIGHLIGHT)) << dark;
    EXPECT_EQ(hc.chosenText, GetSysColor(COLOR_HIGHLIGHTTEXT)) << dark;
    EXPECT_EQ(hc.bar, GetSysColor(COLOR_HIGHLIGHT)) << dark;
  }
  const win32::ChartColors d = win32::ChartColorsFor(true, false);
  EXPECT_LT(light(d.background), 64);
  for (COLORREF ink : {d.text, d.chosenText}) EXPECT_GT(light(ink), 192);
  EXPECT_GT(light(d.bar) - light(d.background), 80) << "bars stand out";
  EXPECT_GT(light(d.faint) - light(d.background), 60) << "a zero is still read";
  // Painted: mostly the dark background, with light text on it.
  Chart chart;
  chart.bars = {{"Mo\n1", 3600}, {"Tu\n2", 0}};
  chart.rows = {{"Breaks skipped", {30, 0}}};
  chart.top = 3600;
  chart.ticks = {{0, "0"}, {3600, "1 h"}};
  const Shot shot(300, 200, [&](HDC dc) {
    win32::ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
    win32::DrawChart(dc, RECT{0, 0, 300, 200}, chart, 96, d, false);
  });
  int darkPixels = 0, lightPixels = 0;
  for (uint32_t px : shot.pixels) {
    const COLORREF c = RGB(px >> 16 & 0xFF, px >> 8 & 0xFF, px & 0xFF);
    darkPixels += light(c) < 64;
    lightPixels += light(c) > 192;
  }
  EXPECT_GT(darkPixels, shot.w * shot.h / 2);
  EXPECT_GT(lightPixels, 50) << "text";
}

// Relative luminance and contrast, as the accessibility guidelines compute them, of 0xRRGGBB.
double Luminance(uint32_t rgb) {
  auto lin = [](uint32_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(rgb >> 16 & 0xFF) + 0.7152 * lin(rgb >> 8 & 0xFF) + 0.0722 * lin(rgb & 0xFF);
}
double Contrast(uint32_t a, uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
// The colour most of a picture has, and the one that stands out most against it (its text), in
// the columns from `fromX` on.
std::pair<uint32_t, uint32_t> GroundAndInk(const Shot& shot, int fromX = 0) {
  std::map<uint32_t, int> count;
  for (int y = 0; y < shot.h; ++y)
    for (int x = fromX; x < shot.w; ++x) ++count[shot.At(x, y)];
  uint32_t ground = 0;
  for (const auto& [c, n] : count)
    if (n > count[ground]) ground = c;
  uint32_t ink = ground;
  for (const auto& [c, n] : count)
    if (Contrast(c, ground) > Contrast(ink, ground)) ink = c;
  return {ground, ink};
}

// Every kind of control takes the look at once, in windows open and opened later: dark grounds
// with light text; light and high contrast in the system's colours exactly (a high-contrast
// scheme is planted with SetSysColors); captioned push buttons drawn by the program only while
// dark.
TEST_F(FormsTest, EveryControlTakesTheLookAtOnceAndHighContrastKeepsTheSystemsColours) {
  design = [](TestForm& f) {
    f.Place(ControlKind::kLabel, "lblText", "Time Remaining Before Break");
    f.Place(ControlKind::kTextBox, "txtBox").SetText("25");
    f.Place(ControlKind::kCheckBox, "chkBox", "Keep a history");
    f.Place(ControlKind::kOption, "optA", "Light");
    f.Place(ControlKind::kButton, "cmdOk", "OK");
    f.Place(ControlKind::kButton, "cmdPic").SetPicture("start");
    f.Place(ControlKind::kFrame, "fraGroup", "Break Time (MM:SS)").Move(120, 3500, 2400, 600);
    Control& list = f.Place(ControlKind::kListBox, "lstItems");
    list.SetItems({"POWERPNT.EXE", "obs64.exe"});
    list.SetValue(-1);  // no selection: its highlight is the system's in every look
  };
  const int colors[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT};
  COLORREF saved[std::size(colors)];
  for (size_t i = 0; i < std::size(colors); ++i) saved[i] = GetSysColor(colors[i]);
  const COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)};
  struct Row {
    const char* what;
    Look look;
    const COLORREF* scheme;
  };
  const Row rows[] = {
      {"dark before the window opens", Look::kDark, saved},
      {"light, live", Look::kLight, saved},
      {"dark, live", Look::kDark, saved},
      {"high contrast, live", Look::kHighContrast, contrast},
      {"light again", Look::kLight, saved},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SetSysColors(static_cast<int>(std::size(colors)), colors, row.scheme);
    view.SetLook(row.look);
    if (!dialog.visible()) {
      dialog.Show();
      dialog.Ctl("lblText").onClick = nullptr;  // plain text, not a link
    }
    const bool dark = row.look == Look::kDark;
    const RECT client = Shot::Client(H(dialog));
    const Shot form(client.right, client.bottom, [&](HDC dc) {
      SendMessageW(H(dialog), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    });
    const uint32_t face = GroundAndInk(form).first;
    if (dark)
      EXPECT_LT(Luminance(face), 0.05) << "the window's ground";
    else
      EXPECT_EQ(face, Shot::Of(COLOR_BTNFACE)) << "the window's ground";
    for (const char* name :
         {"lblText", "txtBox", "chkBox", "optA", "cmdOk", "lstItems", "fraGroup"}) {
      // A check box's or option's text, right of its mark.
      const bool marked = name == std::string("chkBox") || name == std::string("optA");
      // On the window's ground, as the screen shows it: a group box paints only its outline and
      // caption.
      HWND child = Child(name);
      const RECT box = Shot::Client(child);
      const Shot shot(box.right, box.bottom, [&](HDC dc) {
        SendMessageW(H(dialog), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
      });
      const auto [ground, ink] = GroundAndInk(shot, marked ? 24 : 0);
      const bool field = name == std::string("txtBox") || name == std::string("lstItems");
      if (dark) {
        EXPECT_LT(Luminance(ground), 0.05) << name;
        EXPECT_GT(Luminance(ink), 0.6) << name << ": light text";
        EXPECT_GE(Contrast(ground, ink), 7.0) << name;
      } else {
        EXPECT_EQ(ground, Shot::Of(field ? COLOR_WINDOW : COLOR_BTNFACE)) << name;
        EXPECT_EQ(ink, Shot::Of(field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT)) << name;
      }
    }
    EXPECT_LT(Luminance(GroundAndInk(Shot(Child("cmdPic"))).first), dark ? 0.05 : 2.0)
        << "the picture button's face";
    EXPECT_EQ(Style(Child("cmdOk")) & BS_TYPEMASK, dark ? BS_OWNERDRAW : BS_PUSHBUTTON);
  }
  SetSysColors(static_cast<int>(std::size(colors)), colors, saved);
}

// The tray's menu: a hidden top-level menu of the main window, shown as a popup menu.
TEST_F(FormsTest, ThePopupMenuShowsTheItemsAsTheyStandAndOnlyAChosenOneClicks) {
  design = [](TestForm& f) {
    Control& pop = f.AddMenu("mPopup", "&Popup", nullptr);
    pop.SetVisible(false);
    f.AddMenu("mnuHidden", "&Hidden", &pop).SetVisible(false);
    f.AddMenu("mnuAlpha", "&Alpha", &pop);
    f.AddMenu("mnuSep", "-", &pop);
    f.AddMenu("mnuBeta", "&Beta", &pop).SetEnabled(false);
  };
  dialog.Load();
  dialog.Ctl("mnuAlpha").SetDefault(true);
  dialog.Ctl("mnuAlpha").SetChecked(true);
  // The keys wait in the queue for the menu's own loop. A chosen item's command is posted before
  // the menu returns: after Escape there is none; after the first item down and Enter, one.
  for (const std::vector<WPARAM>& keys : {std::vector<WPARAM>{VK_ESCAPE}, {VK_DOWN, VK_RETURN}}) {
    for (WPARAM key : keys) PostMessageW(H(dialog), WM_KEYDOWN, key, 0);
    view.ShowPopupMenu(dialog, dialog.Ctl("mPopup"));
    loop.ProcessPendingEvents();
  }
  EXPECT_EQ(dialog.clicks, std::vector<std::string>{"mnuAlpha"});
  HMENU menu = view.PopupMenu(dialog.Ctl("mPopup"));
  ASSERT_EQ(GetMenuItemCount(menu), 3);  // the hidden item left out
  EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, 0), 0u);
}

// Automation presses only what a person could: a control or a menu bar item of a window on the
// screen that takes input, and an item of a hidden (popup) menu whenever its window takes input,
// shown or not. A click or menu command that comes as WM_COMMAND, which any program can send,
// passes the same test. A refusal does nothing and is traced with its reason.
TEST_F(FormsTest, InvokeAndCommandsPressOnlyWhatAPersonCouldPress) {
  trace.KeepLines(true);
  design = [](TestForm& f) {
    f.Place(ControlKind::kButton, "cmdGo", "Go");
    f.Place(ControlKind::kButton, "cmdOff", "Off").SetEnabled(false);
    f.Place(ControlKind::kButton, "cmdGone", "Gone").SetVisible(false);
    Control& frame = f.Place(ControlKind::kFrame, "fraOff", "Frame");
    frame.SetEnabled(false);
    f.Add(ControlKind::kButton, "cmdInside", &frame).SetCaption("Inside");
    Control& bar = f.AddMenu("mnuFile", "&File", nullptr);
    f.AddMenu("mnuOpen", "&Open", &bar);
    Control& pop = f.AddMenu("mPopup", "&Popup", nullptr);
    pop.SetVisible(false);
    f.AddMenu("mnuTray", "&Tray", &pop);
    f.AddMenu("mnuGrey", "&Grey", &pop).SetEnabled(false);
  };
  dialog.Show();
  // The window of a control, among all the dialog's descendants.
  auto windowOf = [&](const char* name) {
    std::pair<const char*, HWND> found{name, nullptr};
    EnumChildWindows(
        H(dialog),
        [](HWND h, LPARAM l) {
          auto* f = reinterpret_cast<std::pair<const char*, HWND>*>(l);
          if (win32::GlobalAtomText(reinterpret_cast<WPARAM>(GetPropW(h, L"UnwindleName"))) !=
              f->first)
            return TRUE;
          f->second = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.second;
  };
  // The command id of the menu item with this caption, in the menu bar or the popup menu.
  auto commandOf = [&](const wchar_t* caption) {
    for (HMENU m : {GetSubMenu(GetMenu(H(dialog)), 0), view.PopupMenu(dialog.Ctl("mPopup"))}) {
      for (int i = 0; m && i < GetMenuItemCount(m); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(m, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (std::wstring(text) == caption) return GetMenuItemID(m, i);
      }
    }
    return UINT(-1);
  };
  const std::map<std::string, const wchar_t*> menuCaptions = {
      {"mnuOpen", L"&Open"}, {"mnuTray", L"&Tray"}, {"mnuGrey", L"&Grey"}};
  for (const char* way : {"invoke", "command"}) {
    const bool command = way == std::string("command");
    dialog.clicks.clear();
    auto press = [&](const char* name) -> LRESULT {
      if (!command) {
        const ATOM atom = GlobalAddAtomW(win32::Wide(name).c_str());
        const LRESULT pressed = SendMessageW(H(dialog), win32::InvokeMessage(), atom, 0);
        GlobalDeleteAtom(atom);
        return pressed;
      }
      // A click as a button reports it, or a menu command, sent by another program.
      WPARAM wParam = 0;
      HWND child = nullptr;
      if (auto m = menuCaptions.find(name); m != menuCaptions.end()) {
        wParam = MAKEWPARAM(commandOf(m->second), 0);
      } else {
        child = windowOf(name);
        if (!child) return 0;
        wParam = MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED);
      }
      const size_t before = dialog.clicks.size();
      FromElsewhere([&] { SendMessageW(H(dialog), WM_COMMAND, wParam, LPARAM(child)); },
                    [&] { loop.ProcessPendingEvents(); });
      return dialog.clicks.size() > before ? 1 : 0;
    };
    auto refused = [&](const char* name, const char* why) {
      const std::string line = std::string("\t") + (command ? "command" : "invoke") +
                               ".refused\tfrmDialog\t" + name + "\t" + why;
      return std::any_of(trace.lines().begin(), trace.lines().end(),
                         [&](const std::string& l) { return l.find(line) != std::string::npos; });
    };
    // On the screen, taking input.
    EXPECT_EQ(press("cmdGo"), 1) << way;
    EXPECT_EQ(press("mnuOpen"), 1) << way;
    EXPECT_EQ(press("mnuTray"), 1) << way;
    for (const auto& [name, why] : {std::pair{"cmdOff", "disabled"},
                                    {"cmdGone", "hidden"},
                                    {"cmdInside", "disabled"},
                                    {"mnuGrey", "disabled"},
                                    {"cmdNoSuch", "missing"}}) {
      if (command && why == std::string("missing")) continue;  // no window to click
      EXPECT_EQ(press(name), 0) << way << " " << name;
      EXPECT_TRUE(refused(name, why)) << way << " " << name << " " << why;
    }
    // Under a modal window of the program's (the main window shown modal disables the others).
    view.BeginModal(main);
    EXPECT_FALSE(IsWindowEnabled(H(dialog)));
    for (const char* name : {"cmdGo", "mnuOpen", "mnuTray"}) {
      EXPECT_EQ(press(name), 0) << way << " " << name;
      EXPECT_TRUE(refused(name, "blocked")) << way << " " << name;
    }
    view.EndModal(main);
    // Hidden (in the tray): only the popup menu's items.
    dialog.Hide();
    EXPECT_EQ(press("cmdGo"), 0) << way;
    EXPECT_EQ(press("mnuOpen"), 0) << way;
    EXPECT_TRUE(refused("cmdGo", "hidden") && refused("mnuOpen", "hidden")) << way;
    EXPECT_EQ(press("mnuTray"), 1) << way;
    EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"cmdGo", "mnuOpen", "mnuTray", "mnuTray"}))
        << way;
    dialog.Show();
  }
}

// WM_DPICHANGED that the system did not send: posted without a rectangle, with a DPI of 0, out of
// all range or not the window's own, with a rectangle far off every screen. The window neither
// ends, moves nor changes its size.
TEST_F(FormsTest, AForgedDpiChangeNeitherEndsMovesNorResizesTheWindow) {
  RECT before;
  GetWindowRect(H(main), &before);
  const WORD dpi = static_cast<WORD>(win32::DpiOf(H(main)));
  RECT offScreen = {32767, 32767, 32767 + 112, 32767 + 44};
  constexpr UINT kDpiChanged = 0x02E0;
  const WPARAM dpis[] = {MAKEWPARAM(dpi, dpi),         0,
                         MAKEWPARAM(dpi * 2, dpi * 2), MAKEWPARAM(dpi / 4, dpi / 4),
                         MAKEWPARAM(2000, 2000),       MAKEWPARAM(dpi, dpi * 2)};
  FromElsewhere(
      [&] {
        for (WPARAM w : dpis) {
          PostMessageW(H(main), kDpiChanged, w, 0);
          PostMessageW(H(main), kDpiChanged, w, reinterpret_cast<LPARAM>(&offScreen));
          DWORD_PTR result = 0;
          SendMessageTimeoutW(H(main), kDpiChanged, w, 0, SMTO_ABORTIFHUNG, 5000, &result);
          SendMessageTimeoutW(H(main), kDpiChanged, w, reinterpret_cast<LPARAM>(&offScreen),
                              SMTO_ABORTIFHUNG, 5000, &result);
        }
      },
      [&] { loop.ProcessPendingEvents(); });
  RECT after;
  ASSERT_TRUE(GetWindowRect(H(main), &after));
  EXPECT_TRUE(EqualRect(&before, &after))
      << after.left << "," << after.top << " " << after.right - after.left << "x"
      << after.bottom - after.top;
}

// Another program's creation and destruction messages, sent and posted to each window of the
// program's: nothing is written through their pointers, and each window goes on as before.
TEST_F(FormsTest, ForgedCreationAndDestructionLeaveEveryWindowWorking) {
  design = [](TestForm& f) { f.Place(ControlKind::kButton, "cmdGo", "Go"); };
  dialog.Show();
  Win32SoundPlayer sound{trace, loop};
  Win32Presence presence{trace};
  int aways = 0;
  presence.Subscribe([&](bool away, AwayReason) { aways += away; });
  Win32NotificationArea tray{trace, view};
  int trayEvents = 0;
  ASSERT_TRUE(tray.Subscribe(win32::AsHandle(H(main)), [&](TrayEvent) { ++trayEvents; }));
  // Waits on the program's own loop, as the program does (its timers fire only by WM_TIMER
  // there), for at most five seconds.
  auto within = [&](const std::function<bool()>& done) {
    const UINT_PTR wake = SetTimer(nullptr, 0, 50, nullptr);
    const ULONGLONG end = GetTickCount64() + 5000;
    loop.RunUntil([&] { return done() || GetTickCount64() > end; });
    KillTimer(nullptr, wake);
    return done();
  };
  const HWND owner = GetWindow(H(dialog), GW_OWNER);
  const struct {
    const char* what;
    HWND window;
    std::function<bool()> works;
  } windows[] = {
      {"a form", H(dialog),
       [&] {
         const ATOM atom = GlobalAddAtomW(L"cmdGo");
         const LRESULT pressed = SendMessageW(H(dialog), win32::InvokeMessage(), atom, 0);
         GlobalDeleteAtom(atom);
         return pressed == 1;
       }},
      {"a control", Child("cmdGo"),
       [&] {
         const size_t before = dialog.clicks.size();
         SendMessageW(Child("cmdGo"), BM_CLICK, 0, 0);
         return dialog.clicks.size() == before + 1;
       }},
      {"the main window, with the tray's hook", H(main),
       [&] {
         const int before = trayEvents;
         SendMessageW(H(main), Win32NotificationArea::kCallbackMessage, 0, WM_RBUTTONUP);
         return trayEvents == before + 1;
       }},
      {"the forms' owner", owner,
       [&] { return IsWindow(owner) && GetWindow(H(dialog), GW_OWNER) == owner; }},
      {"the timers' window", FindWindowExW(HWND_MESSAGE, nullptr, L"UnwindleTimers", nullptr),
       [&] {
         bool fired = false;
         loop.After(20, [&] { fired = true; });
         return within([&] { return fired; });
       }},
      {"the sound reads' window",
       FindWindowExW(HWND_MESSAGE, nullptr, L"Unwindle.SoundReads", nullptr),
       [&] {
         bool read = false;
         sound.ReadFileAsync(win32::Utf8(win32::ProgramFile()), 16,
                             [&](bool, std::string) { read = true; });
         return within([&] { return read; });
       }},
      {"the presence window", FindWindowW(Win32Presence::kPresenceWindowClass, nullptr),
       [&] {
         const int before = aways;
         SendMessageW(FindWindowW(Win32Presence::kPresenceWindowClass, nullptr),
                      WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
         return aways == before + 1;
       }},
  };
  for (const auto& w : windows) {
    ASSERT_TRUE(w.window) << w.what;
    ASSERT_TRUE(w.works()) << w.what << " before";
    EXPECT_TRUE(ForgeLifeMessages(w.window, [&] { loop.ProcessPendingEvents(); })) << w.what;
    EXPECT_TRUE(IsWindow(w.window)) << w.what;
    EXPECT_TRUE(w.works()) << w.what;
  }
  tray.Unsubscribe(win32::AsHandle(H(main)));
}

// The monitors as the system lists them: as many as it counts, the primary as large as the screen.
struct Win32MonitorsFixture : ::testing::Test {
  WindowSystem& windows() { return service; }
  void Settle() {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
  }
  Trace trace{nullptr, ""};
  Win32FormView view{trace};
  Win32WindowSystem service{trace, view};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, MonitorsContract, ::testing::Types<Win32MonitorsFixture>);

TEST(MonitorsTest, AsManyAsTheSystemCountsThePrimaryAsLargeAsTheScreen) {
  Trace trace{nullptr, ""};
  Win32FormView view{trace};
  Win32WindowSystem service{trace, view};
  const std::vector<ScreenRect> monitors = service.Monitors();
  ASSERT_EQ(monitors.size(), static_cast<size_t>(GetSystemMetrics(SM_CMONITORS)));
  EXPECT_EQ(monitors[0].right - monitors[0].left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(monitors[0].bottom - monitors[0].top, GetSystemMetrics(SM_CYSCREEN));
  // Together they span the virtual screen.
  int right = 0, bottom = 0;
  for (const ScreenRect& m : monitors) {
    right = std::max(right, m.right);
    bottom = std::max(bottom, m.bottom);
  }
  EXPECT_EQ(right - GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(bottom - GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

// A covering window lies exactly on its area, frameless, above the others, as opaque as asked,
// its block of controls in the middle; it comes without the keyboard and hears keys and clicks.
TEST_F(FormsTest, ACoveringWindowLiesOnItsAreaOnTopWithItsBlockCentredAndHearsInput) {
  const ScreenRect area = {40, 30, 840, 630};
  design = [&](TestForm& f) {
    f.SetBorder(BorderStyle::kNone, false, false, false, false);
    f.SetSize(2880, 1440);  // two inches by one
    f.Place(ControlKind::kButton, "cmdFirst", "&First").Move(0, 0, 1440, 720);
  };
  dialog.Cover(area);
  dialog.SetColors({.back = 0x102030, .text = 0xE0E0E0, .alpha = 200});
  HWND before = GetForegroundWindow();
  dialog.Show(false, false);
  HWND h = H(dialog);
  RECT wr;
  GetWindowRect(h, &wr);
  EXPECT_EQ(wr.left, area.left);
  EXPECT_EQ(wr.top, area.top);
  EXPECT_EQ(wr.right, area.right);
  EXPECT_EQ(wr.bottom, area.bottom);
  EXPECT_FALSE(Style(h) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << "out of the task bar";
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(ex & WS_EX_LAYERED);
  ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_TRUE(flags & LWA_ALPHA);
  EXPECT_EQ(GetForegroundWindow(), before) << "the keyboard stays where it was";
  const int inch = static_cast<int>(win32::DpiOf(h));
  RECT br;
  GetWindowRect(Child("cmdFirst"), &br);
  EXPECT_EQ(br.left - area.left, (800 - 2 * inch) / 2);
  EXPECT_EQ(br.top - area.top, (600 - inch) / 2);
  // Moved to another area, it follows.
  dialog.Cover({100, 50, 500, 450});
  GetWindowRect(h, &wr);
  EXPECT_EQ(wr.left, 100);
  EXPECT_EQ(wr.right, 500);
  Key(WM_KEYDOWN, 'X', h);
  SendMessageW(h, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(dialog.inputs, 2);
  EXPECT_TRUE(dialog.clicks.empty());
}

}  // namespace
}  // namespace unw
