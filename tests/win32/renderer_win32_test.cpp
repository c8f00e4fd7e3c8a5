// The Win32 renderer against the real system: text measurement, the
// controls the new windows use, and their keyboard handling.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
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
#include "platform/win32/fonts_win32.h"
#include "platform/win32/form_view_win32.h"
#include "platform/win32/pictures.h"
#include "platform/win32/scoped.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_util.h"
#include "resources/icons/tray_icon_art.h"

namespace unw {
namespace {

// The system's message font as the program's windows use it.
Font MessageFont() {
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  const int dpi = static_cast<int>(win32::ScreenDpi());
  Font f;
  f.name = win32::FieldText(ncm.lfMessageFont.lfFaceName, LF_FACESIZE);
  f.size = static_cast<float>(-72.0 * ncm.lfMessageFont.lfHeight / dpi);
  f.weight = ncm.lfMessageFont.lfWeight;
  f.charset = ncm.lfMessageFont.lfCharSet;
  return f;
}

// Pixels of a w x h picture painted by `paint` on the button face colour that are not of it.
int Ink(int w, int h, const std::function<void(HDC)>& paint) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const win32::ScopedGetDC screen(nullptr);
  const win32::ScopedMemDC dc(CreateCompatibleDC(screen));
  const win32::ScopedGdiObj<HBITMAP> bmp(CreateCompatibleBitmap(screen, w, h));
  const win32::ScopedSelect selected(dc, bmp);
  RECT rc = {0, 0, w, h};
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  paint(dc);
  int ink = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) ink += GetPixel(dc, x, y) != face;
  }
  return ink;
}

TEST(MeasureTextTest, GrowsWithTheTextAndItsLines) {
  Trace trace{nullptr, ""};
  Win32FormView view{trace};
  const Font font = MessageFont();
  const TextSize empty = view.MeasureText(font, "");
  const TextSize one = view.MeasureText(font, "Your break is now over.");
  const TextSize longer = view.MeasureText(font, "Your break is now over. What now?");
  const TextSize lines =
      view.MeasureText(font, "Your break is now over.\r\n\r\nWhat do you want to do?");
  EXPECT_EQ(empty.width, 0);
  EXPECT_GT(one.width, 0);
  EXPECT_GT(longer.width, one.width);
  EXPECT_EQ(longer.height, one.height);
  EXPECT_EQ(lines.height, 3 * one.height);
  EXPECT_EQ(empty.height, one.height);
  // The widest line counts, whatever line it is.
  EXPECT_EQ(view.MeasureText(font, "a\r\nYour break is now over.").width, one.width);

  Font big = font;
  big.size *= 2;
  EXPECT_GT(view.MeasureText(big, "Your break is now over.").width, one.width * 3 / 2);
  Font bold = font;
  bold.bold = true;
  bold.weight = 700;
  EXPECT_GE(view.MeasureText(bold, "Your break is now over.").width, one.width);
}

// A form with one label that sizes itself, as the prompts' messages do.
class LabelForm : public Form {
 public:
  using Form::Form;
  std::string text;
  Font font;

 protected:
  void Design() override {
    SetSize(9000, 3000);
    Add(ControlKind::kLabel, "lblMessage").Move(840, 240, 2400, 240);
  }
  void Form_Load() override {
    Control& label = Ctl("lblMessage");
    label.SetFont(font);
    label.SetCaption(text);
    const TextSize size = ui().view().MeasureText(label.font(), label.caption());
    label.Move(label.left(), label.top(), size.width, size.height);
  }
};

struct RendererTest : ::testing::Test {
  void SetUp() override { trace.KeepLines(true); }
  HWND Child(const Form& form, const char* name) {
    struct Search {
      std::string name;
      HWND found = nullptr;
    } search{name};
    EnumChildWindows(
        reinterpret_cast<HWND>(form.hWnd()),
        [](HWND h, LPARAM l) -> BOOL {
          auto* s = reinterpret_cast<Search*>(l);
          HANDLE atom = GetPropA(h, "UnwindleName");
          char text[128] = {};
          if (atom)
            GlobalGetAtomNameA(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(atom)), text,
                               sizeof text);
          if (s->name == text) {
            s->found = h;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  Trace trace{nullptr, ""};
  Win32Clock clock;
  Win32FormView view{trace};
  Win32EventLoop loop{clock, trace};
  Win32Dialogs dialogs{trace};
  Ui ui{view, loop, dialogs};
};

TEST_F(RendererTest, ALabelSizedByMeasureTextShowsAllOfItsText) {
  const std::string text =
      "Please unwindle now to rest your eyes and body.\r\n"
      "Long sessions on the computer takes a toll on your body over time.\r\n"
      "A short period of rest every while can reduce repetitive-stress injuries.\r\n"
      "Übung macht den Meister – ベル\r\n"
      "\r\n"
      "What do you want to do?";
  for (float size : {8.25f, 9.75f, 12.0f}) {
    LabelForm form{ui, "frmLabel"};
    form.text = text;
    form.font = MessageFont();
    form.font.size = size;
    form.Load();
    HWND label = Child(form, "lblMessage");
    ASSERT_TRUE(label);
    RECT rc;
    GetClientRect(label, &rc);
    // What the label paints against the same text drawn without any bounds.
    const int shown = Ink(rc.right, rc.bottom, [&](HDC dc) {
      SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
    const auto font = win32::CreateModelFont(form.font, win32::ScreenDpi());
    const int whole = Ink(rc.right + 200, rc.bottom + 200, [&](HDC dc) {
      const win32::ScopedSelect selected(dc, font);
      SetBkMode(dc, TRANSPARENT);
      RECT all = {0, 0, rc.right + 200, rc.bottom + 200};
      DrawTextW(dc, win32::Wide(text).c_str(), -1, &all, DT_LEFT | DT_EXPANDTABS | DT_NOCLIP);
    });
    EXPECT_GT(whole, 0);
    EXPECT_EQ(shown, whole) << "at " << size << " points the label (" << rc.right << " x "
                            << rc.bottom << ") cuts or wraps its text";
    form.Unload();
  }
}

// The pixels `picture` draws on a white square of `size` pixels, top row first (0x00RRGGBB).
std::vector<uint32_t> Drawn(const std::string& picture, int size, bool* known = nullptr) {
  BITMAPINFO bi = win32::TopDownBitmapInfo(size, size);
  void* bits = nullptr;
  const win32::ScopedGetDC screen(nullptr);
  const win32::ScopedMemDC dc(CreateCompatibleDC(screen));
  const win32::ScopedGdiObj<HBITMAP> bmp(
      CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  const win32::ScopedSelect selected(dc, bmp);
  RECT rc = {0, 0, size, size};
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const bool ok = win32::DrawPicture(dc, rc, picture, true);
  if (known) *known = ok;
  GdiFlush();
  std::vector<uint32_t> out(static_cast<const uint32_t*>(bits),
                            static_cast<const uint32_t*>(bits) + size * size);
  for (uint32_t& p : out) p &= 0xFFFFFF;
  return out;
}

size_t Colours(const std::vector<uint32_t>& pixels) {
  std::vector<uint32_t> v = pixels;
  std::sort(v.begin(), v.end());
  return static_cast<size_t>(std::unique(v.begin(), v.end()) - v.begin());
}

TEST(PicturesTest, EveryPictureTheWindowsNameIsDrawnAtItsSize) {
  for (const char* id : {"play", "stop", "remind", "defaults", "logo", "start", "unwindle", "about",
                         "save", "exit", "sys.information", "sys.exclamation", "sys.stop",
                         "sys.question", "tray:0:0", "tray:1:48", "tray:4:1"}) {
    for (int size : {16, 32, 64, 96}) {
      bool known = false;
      const std::vector<uint32_t> px = Drawn(id, size, &known);
      EXPECT_TRUE(known) << id;
      EXPECT_TRUE(win32::HasPicture(id)) << id;
      EXPECT_GE(Colours(px), 3u) << id << " at " << size << " px draws next to nothing";
    }
  }
  bool known = true;
  EXPECT_EQ(Colours(Drawn("no-such-picture", 32, &known)), 1u);
  EXPECT_FALSE(known);
  EXPECT_FALSE(win32::HasPicture("tray:9:0"));
  EXPECT_FALSE(win32::HasPicture("tray:1"));
}

TEST(PicturesTest, TheLogoHasItsFewFlatColoursAtTheSizesTheWindowsUse) {
  for (int size : {64, 96}) {
    const std::vector<uint32_t> px = Drawn("logo", size);
    // A flat design: a handful of colours cover almost all of it.
    std::vector<std::pair<size_t, uint32_t>> counts;
    std::vector<uint32_t> sorted = px;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size();) {
      size_t j = i;
      while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
      counts.emplace_back(j - i, sorted[i]);
      i = j;
    }
    std::sort(counts.rbegin(), counts.rend());
    ASSERT_GE(counts.size(), 5u);
    size_t top = 0;
    for (size_t i = 0; i < 6 && i < counts.size(); ++i) top += counts[i].first;
    EXPECT_GT(top * 100 / px.size(), 95u) << "at " << size << " px";
    // The disc fills the middle; the corners stay background.
    EXPECT_EQ(px[0], 0xFFFFFFu);
    EXPECT_NE(px[static_cast<size_t>(size / 2 * size + size / 8)], 0xFFFFFFu);
  }
}

TEST(PicturesTest, ATrayPictureIsTheIconSetsOwnArt) {
  const int size = 32;
  const std::vector<uint32_t> px = Drawn("tray:1:48", size);
  const IconImage art = RenderTrayIcon(1, 48, size);
  ASSERT_EQ(art.pixels.size(), px.size());
  int same = 0, opaque = 0;
  for (size_t i = 0; i < px.size(); ++i) {
    if ((art.pixels[i] >> 24) != 0xFF) continue;
    ++opaque;
    same += px[i] == (art.pixels[i] & 0xFFFFFF);
  }
  EXPECT_GT(opaque, 0);
  EXPECT_EQ(same, opaque);
}

TEST(PicturesTest, IconsForIconButtonsAreClearAroundThePicture) {
  for (const char* id : {"play", "stop"}) {
    const win32::ScopedIcon icon = win32::PictureIcon(id, 16);
    ASSERT_TRUE(icon) << id;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    const win32::ScopedGdiObj<HBITMAP> color(info.hbmColor), maskBitmap(info.hbmMask);
    BITMAP bm = {};
    GetObjectW(color, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    // The mask: transparent at the corner, covered in the middle.
    BITMAPINFO bi = win32::TopDownBitmapInfo(16, 16);
    std::vector<uint32_t> mask(256);
    const win32::ScopedGetDC screen(nullptr);
    GetDIBits(screen, maskBitmap, 0, 16, mask.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(mask[0] & 0xFFFFFF, 0xFFFFFFu) << id;
    EXPECT_EQ(mask[8 * 16 + 8] & 0xFFFFFF, 0u) << id;
  }
  EXPECT_EQ(win32::PictureIcon("no-such-picture", 16).get(), nullptr);
}

// A form whose design a test writes.
class TestForm : public Form {
 public:
  TestForm(Ui& ui, const std::string& name, std::function<void(TestForm&)> design)
      : Form(ui, name), design_(std::move(design)) {}
  using Form::Add;
  using Form::AddMenu;
  using Form::SetBorder;
  std::vector<std::string> clicks;
  std::vector<std::string> focused;
  // Records clicks and focus of every control, under their ids.
  void Record() {
    for (const auto& c : controls()) {
      Control* p = c.get();
      if (!p->onClick) p->onClick = [this, p] { clicks.push_back(p->Id()); };
      if (!p->onGotFocus) p->onGotFocus = [this, p] { focused.push_back(p->Id()); };
    }
  }

 protected:
  void Design() override {
    design_(*this);
    Record();
  }

 private:
  std::function<void(TestForm&)> design_;
};

struct FormsTest : RendererTest {
  void SetUp() override {
    RendererTest::SetUp();
    // The program's main window comes first; the forms under test are its dialogs.
    main.SetBorder(BorderStyle::kFixedSingle, true, false, true, true);
    main.Show();
  }
  void TearDown() override {
    for (TestForm* f : {&dialog, &main}) f->Unload();
  }
  HWND H(const Form& f) { return reinterpret_cast<HWND>(f.hWnd()); }
  LONG_PTR Style(HWND h) { return GetWindowLongPtrA(h, GWL_STYLE); }
  std::string Text(HWND h) { return win32::WindowText(h); }
  // Offers a key to the renderer as the message loop would.
  bool Key(UINT message, WPARAM key, HWND to) {
    MSG msg = {};
    msg.hwnd = to;
    msg.message = message;
    msg.wParam = key;
    return view.PreTranslate(msg);
  }
  TestForm main{ui, "frmMain", [](TestForm& f) { f.SetSize(3000, 1500); }};
  std::function<void(TestForm&)> design = [](TestForm&) {};
  TestForm dialog{ui, "frmDialog", [this](TestForm& f) { design(f); }};
};

TEST_F(FormsTest, AnOuterSizeIsTheWholeWindowAndAClientSizeTheInside) {
  design = [](TestForm& f) { f.SetOuterSize(6000, 3000); };
  dialog.Load();
  RECT wr, cr;
  GetWindowRect(H(dialog), &wr);
  const UINT dpi = win32::DpiOf(H(dialog));
  EXPECT_EQ(wr.right - wr.left, win32::TwipsToPixels(6000, dpi));
  EXPECT_EQ(wr.bottom - wr.top, win32::TwipsToPixels(3000, dpi));
  dialog.SetSize(4500, 1500);
  GetClientRect(H(dialog), &cr);
  EXPECT_EQ(cr.right, win32::TwipsToPixels(4500, dpi));
  EXPECT_EQ(cr.bottom, win32::TwipsToPixels(1500, dpi));
}

TEST_F(FormsTest, ADialogIsCentredWhenFirstShownWithTheSizeItsLoadGaveIt) {
  design = [](TestForm& f) { f.SetSize(3000, 1500); };
  dialog.Load();
  dialog.SetOuterSize(7200, 2400);  // as a prompt's Form_Load lays itself out
  dialog.Show();
  RECT wr;
  GetWindowRect(H(dialog), &wr);
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(H(main), MONITOR_DEFAULTTOPRIMARY), &mi);
  EXPECT_LE(std::abs((wr.left - mi.rcWork.left) - (mi.rcWork.right - wr.right)), 1);
  EXPECT_LE(std::abs((wr.top - mi.rcWork.top) - (mi.rcWork.bottom - wr.bottom)), 1);
}

TEST_F(FormsTest, ABorderlessFormIsAPopupWithAThinLine) {
  design = [](TestForm& f) { f.SetBorder(BorderStyle::kNone, false, false, false, false); };
  dialog.Load();
  const LONG_PTR style = Style(H(dialog));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU);
}

TEST_F(FormsTest, ButtonsShowTheirCaptionOrTheirTooltipAndTheDefaultIsMarked) {
  design = [](TestForm& f) {
    Control& both = f.Add(ControlKind::kButton, "cmdBoth");
    both.SetCaption("&Remind Later");
    both.SetToolTip("Reminder in 10 minutes");
    both.SetPicture("remind");
    Control& plain = f.Add(ControlKind::kButton, "cmdPlain");
    plain.SetCaption("&Ok");
    plain.SetDialogKeys(true, true);
    Control& other = f.Add(ControlKind::kButton, "cmdOther");
    other.SetCaption("&System Info...");
    Control& picture = f.Add(ControlKind::kButton, "cmdPicture");
    picture.SetToolTip("Stop Break");
    picture.SetPicture("stop");
  };
  dialog.Load();
  HWND both = Child(dialog, "cmdBoth"), plain = Child(dialog, "cmdPlain");
  HWND other = Child(dialog, "cmdOther"), picture = Child(dialog, "cmdPicture");
  EXPECT_EQ(Style(both) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(Text(both), "&Remind Later");
  EXPECT_EQ(Style(plain) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(Style(other) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(Text(other), "&System Info...");
  EXPECT_EQ(Style(picture) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(Text(picture), "Stop Break");
}

TEST_F(FormsTest, EnterAndEscPressTheDialogButtonsAndOnlyWhereThereAreSome) {
  design = [](TestForm& f) {
    Control& ok = f.Add(ControlKind::kButton, "cmdOK");
    ok.SetCaption("&Ok");
    ok.SetDialogKeys(true, false);
    Control& cancel = f.Add(ControlKind::kButton, "cmdCancel");
    cancel.SetCaption("Cancel");
    cancel.SetDialogKeys(false, true);
    f.Add(ControlKind::kButton, "cmdOther").SetCaption("&Other");
    f.Add(ControlKind::kTextBox, "txtName");
  };
  dialog.Show();
  SetFocus(Child(dialog, "txtName"));
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, Child(dialog, "txtName")));
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE, Child(dialog, "txtName")));
  ASSERT_EQ(dialog.clicks.size(), 2u);
  EXPECT_EQ(dialog.clicks[0], "cmdOK");
  EXPECT_EQ(dialog.clicks[1], "cmdCancel");
  // Enter on a focused button presses that one.
  SetFocus(Child(dialog, "cmdOther"));
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN, Child(dialog, "cmdOther")));
  EXPECT_EQ(dialog.clicks.back(), "cmdOther");
  // A disabled default button is not pressed; the key goes on to the control.
  dialog.Ctl("cmdOK").SetEnabled(false);
  SetFocus(Child(dialog, "txtName"));
  EXPECT_FALSE(Key(WM_KEYDOWN, VK_RETURN, Child(dialog, "txtName")));
  // The main window has neither: its keys are its own.
  EXPECT_FALSE(Key(WM_KEYDOWN, VK_RETURN, H(main)));
  EXPECT_FALSE(Key(WM_KEYDOWN, VK_ESCAPE, H(main)));
  EXPECT_EQ(dialog.clicks.size(), 3u);
}

TEST_F(FormsTest, AccessKeysPressButtonsAndMoveIntoFrames) {
  design = [](TestForm& f) {
    Control& unwindle = f.Add(ControlKind::kButton, "cmdUnwindle");
    unwindle.SetCaption("&Unwindle");
    unwindle.SetPicture("unwindle");
    unwindle.Move(120, 120, 1380, 420);
    Control& frame = f.Add(ControlKind::kFrame, "fraBreak");
    frame.SetCaption("&Break Time");
    frame.Move(120, 600, 2400, 900);
    f.Add(ControlKind::kTextBox, "txtMinutes", &frame).Move(120, 300, 600, 300);
    Control& check = f.Add(ControlKind::kCheckBox, "chkTips");
    check.SetCaption("Balloon Ti&ps");
    check.Move(120, 1600, 2000, 285);
  };
  dialog.Show();
  EXPECT_TRUE(Key(WM_SYSCHAR, 'u', H(dialog)));
  ASSERT_EQ(dialog.clicks.size(), 1u);
  EXPECT_EQ(dialog.clicks[0], "cmdUnwindle");
  EXPECT_TRUE(Key(WM_SYSCHAR, 'B', H(dialog)));
  EXPECT_EQ(GetFocus(), Child(dialog, "txtMinutes"));
  EXPECT_EQ(dialog.focused.back(), "txtMinutes");
  EXPECT_TRUE(Key(WM_SYSCHAR, 'p', H(dialog)));
  EXPECT_EQ(dialog.Ctl("chkTips").value(), 1);
  EXPECT_EQ(SendMessageA(Child(dialog, "chkTips"), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Typing in a text box is typing, not an access key.
  SetFocus(Child(dialog, "txtMinutes"));
  EXPECT_FALSE(Key(WM_CHAR, 'u', Child(dialog, "txtMinutes")));
  EXPECT_FALSE(Key(WM_SYSCHAR, 'z', H(dialog)));
  EXPECT_EQ(dialog.clicks.size(), 2u);  // the check box's click
}

TEST_F(FormsTest, LowFramesAreSeparatorLinesAndTallerOnesGroupBoxes) {
  design = [](TestForm& f) {
    f.Add(ControlKind::kFrame, "Line1", nullptr, 0).Move(240, 1320, 5880, 30);
    f.Add(ControlKind::kFrame, "fraGroup").Move(240, 1500, 5880, 600);
  };
  dialog.Load();
  HWND line = Child(dialog, "Line1(0)"), group = Child(dialog, "fraGroup");
  char cls[32] = {};
  GetClassNameA(line, cls, sizeof cls);
  EXPECT_STREQ(cls, "Static");
  EXPECT_EQ(Style(line) & SS_TYPEMASK, SS_ETCHEDHORZ);
  EXPECT_EQ(Style(group) & BS_TYPEMASK, BS_GROUPBOX);
}

TEST_F(FormsTest, TextBoxesTakeLimitLockSelectionAndFocusFromTheModel) {
  design = [](TestForm& f) {
    Control& box = f.Add(ControlKind::kTextBox, "txtHours");
    box.Move(120, 120, 600, 300);
    box.SetMaxLength(2);
    box.onKeyPress = [](int& key) {
      if (key < '0' || key > '9') key = 0;
    };
    f.Add(ControlKind::kTextBox, "txtFile").Move(120, 600, 2000, 300);
    Control& first = f.Add(ControlKind::kButton, "cmdFirst");
    first.SetCaption("&First");
    first.Move(120, 1000, 1200, 420);
  };
  dialog.Show();
  HWND hours = Child(dialog, "txtHours"), file = Child(dialog, "txtFile");
  EXPECT_EQ(SendMessageA(hours, EM_GETLIMITTEXT, 0, 0), 2);
  dialog.Ctl("txtHours").SetMaxLength(0);
  EXPECT_GT(SendMessageA(hours, EM_GETLIMITTEXT, 0, 0), 1000);
  dialog.Ctl("txtHours").SetMaxLength(2);
  EXPECT_FALSE(Style(file) & ES_READONLY);
  dialog.Ctl("txtFile").SetLocked(true);
  EXPECT_TRUE(Style(file) & ES_READONLY);
  dialog.Ctl("txtFile").SetLocked(false);
  EXPECT_FALSE(Style(file) & ES_READONLY);

  dialog.Ctl("txtHours").SetText("12");
  dialog.Ctl("txtHours").SetSelection(0, 2);
  DWORD start = 0, end = 0;
  SendMessageA(hours, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);

  // The dialog opened with the focus in its first field: move it away, then back from the model.
  EXPECT_EQ(GetFocus(), hours);
  SetFocus(Child(dialog, "cmdFirst"));
  dialog.focused.clear();
  dialog.Ctl("txtHours").SetFocus();
  EXPECT_EQ(GetFocus(), hours);
  ASSERT_FALSE(dialog.focused.empty());
  EXPECT_EQ(dialog.focused.back(), "txtHours");

  // Typed keys reach the model first: a letter is swallowed, a digit replaces the selection.
  SendMessageA(hours, WM_CHAR, 'a', 1);
  EXPECT_EQ(dialog.Ctl("txtHours").text(), "12");
  SendMessageA(hours, WM_CHAR, '7', 1);
  EXPECT_EQ(dialog.Ctl("txtHours").text(), "7");
  // The limit holds against typing.
  SendMessageA(hours, WM_CHAR, '8', 1);
  SendMessageA(hours, WM_CHAR, '9', 1);
  EXPECT_EQ(dialog.Ctl("txtHours").text(), "78");
}

TEST_F(FormsTest, ComboBoxesShowTheModelAndReportAPickOnce) {
  design = [](TestForm& f) {
    Control& list = f.Add(ControlKind::kComboBox, "cboTrayIcon");
    list.Move(120, 120, 2000, 315);
    list.SetValue(-1);
  };
  dialog.Show();
  Control& list = dialog.Ctl("cboTrayIcon");
  list.onClick = [&] {
    dialog.clicks.push_back("pick");
    list.SetToolTip(list.items()[static_cast<size_t>(list.value())]);
  };
  HWND combo = Child(dialog, "cboTrayIcon");
  EXPECT_EQ(Style(combo) & 3, CBS_DROPDOWNLIST);
  list.SetItems({"Classic Clock", "Computer Modem", "Phases of the Moon"});
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  list.Select(1);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  ASSERT_EQ(dialog.clicks.size(), 1u);
  // The user picks the third: the list notifies its window.
  SendMessageA(combo, CB_SETCURSEL, 2, 0);
  SendMessageA(H(dialog), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(list.value(), 2);
  EXPECT_EQ(dialog.clicks.size(), 2u);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  // Its tooltip follows the model.
  struct Search {
    HWND owner, tip = nullptr;
  } search{H(dialog)};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        char cls[64] = {};
        GetClassNameA(h, cls, sizeof cls);
        if (_stricmp(cls, TOOLTIPS_CLASSA) != 0 || GetWindow(h, GW_OWNER) != s->owner) return TRUE;
        s->tip = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  ASSERT_TRUE(search.tip);
  char text[80] = {};
  TTTOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = H(dialog);
  ti.uId = reinterpret_cast<UINT_PTR>(combo);
  ti.lpszText = text;
  SendMessageA(search.tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, "Phases of the Moon");
}

TEST_F(FormsTest, CheckBoxesAndOptionsShowTheModelAndAClickGoesThroughIt) {
  design = [](TestForm& f) {
    Control& check = f.Add(ControlKind::kCheckBox, "chkLock");
    check.SetCaption("Lock &Workstation");
    check.Move(120, 120, 2000, 285);
    for (int i = 0; i < 2; ++i) {
      Control& o = f.Add(ControlKind::kOption, "optAlert", nullptr, i);
      o.SetCaption(i ? "&Flashing" : "&Dialog");
      o.Move(120, 500 + i * 330, 2000, 285);
    }
  };
  dialog.Show();
  HWND check = Child(dialog, "chkLock");
  HWND first = Child(dialog, "optAlert(0)"), second = Child(dialog, "optAlert(1)");
  // Not automatic: the window never decides on its own.
  EXPECT_EQ(Style(check) & BS_TYPEMASK, BS_3STATE);
  EXPECT_EQ(Style(first) & BS_TYPEMASK, BS_RADIOBUTTON);
  SendMessageA(check, BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.Ctl("chkLock").value(), 1);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(check, BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.Ctl("chkLock").value(), 0);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  dialog.Ctl("chkLock").SetValue(1);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);

  SendMessageA(first, BM_CLICK, 0, 0);
  SendMessageA(second, BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.Ctl("optAlert", 0).value(), 0);
  EXPECT_EQ(dialog.Ctl("optAlert", 1).value(), 1);
  EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);
}

// This test program's code page is not UTF-8: only the wide calls keep these characters.
TEST_F(FormsTest, TextsReachTheWindowsWithEveryCharacterAndTypingReachesTheModel) {
  const std::string word = "Übung ベル \xF0\x9F\x94\x94";
  design = [&](TestForm& f) {
    f.SetCaption(word);
    Control& button = f.Add(ControlKind::kButton, "cmdWord");
    button.SetCaption(word);
    button.SetToolTip(word);
    f.Add(ControlKind::kLabel, "lblWord").SetCaption(word);
    f.Add(ControlKind::kComboBox, "cboWords").SetItems({"Glocke", word});
    f.Add(ControlKind::kTextBox, "txtWord");
    f.AddMenu("mnuWord", word, nullptr);
  };
  dialog.Show();
  HWND combo = Child(dialog, "cboWords"), box = Child(dialog, "txtWord");
  dialog.Ctl("cboWords").SetText(word);
  dialog.Ctl("txtWord").SetText(word);
  wchar_t item[64] = {}, tip[64] = {}, menu[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
  GetMenuStringW(GetMenu(H(dialog)), 0, menu, 64, MF_BYPOSITION);
  HWND tooltip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM l) -> BOOL {
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (_wcsicmp(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
        *reinterpret_cast<HWND*>(l) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tooltip));
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = H(dialog);
  ti.uId = reinterpret_cast<UINT_PTR>(Child(dialog, "cmdWord"));
  ti.lpszText = tip;
  SendMessageW(tooltip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
  const struct {
    const char* what;
    std::string shown;
  } shown[] = {
      {"caption", Text(H(dialog))},
      {"button", Text(Child(dialog, "cmdWord"))},
      {"label", Text(Child(dialog, "lblWord"))},
      {"text box", Text(box)},
      {"list item", win32::Utf8(item)},
      {"chosen item", Text(combo)},
      {"menu", win32::Utf8(menu)},
      {"tooltip", win32::Utf8(tip)},
  };
  for (const auto& s : shown) EXPECT_EQ(s.shown, word) << s.what;

  // Typed characters, one of them outside the BMP (two WM_CHARs), reach the model as UTF-8.
  dialog.Ctl("txtWord").SetText("");
  for (wchar_t typed : {L'ü', L'ベ', L'\xD83D', L'\xDD14'}) SendMessageW(box, WM_CHAR, typed, 1);
  EXPECT_EQ(dialog.Ctl("txtWord").text(), "üベ\xF0\x9F\x94\x94");
}

TEST_F(FormsTest, ClickablePicturesAndLabelsClickShowAHandAndLinksAreBlue) {
  design = [](TestForm& f) {
    Control& logo = f.Add(ControlKind::kPicture, "picLogo");
    logo.SetPicture("logo");
    logo.Move(240, 240, 960, 960);
    logo.onClick = [&f] { f.clicks.push_back("picLogo"); };
    Control& url = f.Add(ControlKind::kLabel, "lblURL");
    url.SetCaption("https://korvante.example/unwindle");
    url.Move(1440, 240, 3600, 255);
    url.onClick = [&f] { f.clicks.push_back("lblURL"); };
    Control& plain = f.Add(ControlKind::kLabel, "lblPlain");
    plain.SetCaption("Copyright KORVANTE.");
    plain.Move(1440, 600, 3600, 255);
    plain.onClick = nullptr;
  };
  dialog.Show();
  // Record() gave the plain label a handler: take it away again.
  dialog.Ctl("lblPlain").onClick = nullptr;
  HWND logo = Child(dialog, "picLogo"), url = Child(dialog, "lblURL");
  HWND plain = Child(dialog, "lblPlain");
  SendMessageA(logo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(logo, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageA(url, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(url, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(dialog.clicks.size(), 2u);
  EXPECT_EQ(dialog.clicks[0], "picLogo");
  EXPECT_EQ(dialog.clicks[1], "lblURL");

  HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
  const LPARAM over = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  EXPECT_TRUE(SendMessageA(H(dialog), WM_SETCURSOR, reinterpret_cast<WPARAM>(logo), over));
  EXPECT_EQ(GetCursor(), hand);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  EXPECT_TRUE(SendMessageA(H(dialog), WM_SETCURSOR, reinterpret_cast<WPARAM>(url), over));
  EXPECT_EQ(GetCursor(), hand);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  SendMessageA(H(dialog), WM_SETCURSOR, reinterpret_cast<WPARAM>(plain), over);
  EXPECT_NE(GetCursor(), hand);

  const win32::ScopedGetDC dc(url);
  SendMessageA(H(dialog), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
               reinterpret_cast<LPARAM>(url));
  const COLORREF link = GetTextColor(dc);
  SendMessageA(H(dialog), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
               reinterpret_cast<LPARAM>(plain));
  const COLORREF text = GetTextColor(dc);
  EXPECT_NE(link, text);
  EXPECT_GT(GetBValue(link), GetRValue(link));
}

}  // namespace
}  // namespace unw
