// The Win32 shell services against the real system, under Wine. Texts and paths carry characters
// outside the system's 8-bit code page: this test program does not ask for UTF-8.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "alerts/wave_file.h"
#include "backends/win32/clock_win32.h"
#include "backends/win32/dialogs_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/file_dialog_win32.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/shell_win32.h"
#include "backends/win32/sound_win32.h"
#include "backends/win32/system_metrics_win32.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/workstation_win32.h"
#include "message_contract.h"
#include "shell_contract.h"
#include "system_fonts_contract.h"

namespace unw {
namespace {

struct Win32FontsFixture : ::testing::Test {
  SystemMetrics& metrics() { return service; }
  Win32SystemMetrics service;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SystemFontsContract, ::testing::Types<Win32FontsFixture>);

// The windows' fonts are the system's own, their heights in points at the screen's resolution.
TEST(MetricsTest, TheFontsAreTheSystemsOwnInPoints) {
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof ncm;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  const win32::ScopedGetDC dc(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  SystemFonts fonts;
  ASSERT_TRUE(Win32SystemMetrics().ReadFonts(fonts));
  EXPECT_EQ(fonts.captionHeight, ncm.iCaptionHeight);
  EXPECT_EQ(fonts.borderWidth, ncm.iBorderWidth);
  EXPECT_EQ(fonts.message.face, win32::FieldText(ncm.lfMessageFont.lfFaceName, LF_FACESIZE));
  EXPECT_FLOAT_EQ(fonts.message.points, -72.0f * ncm.lfMessageFont.lfHeight / dpi);
  EXPECT_EQ(fonts.caption.weight, ncm.lfCaptionFont.lfWeight);
  EXPECT_EQ(fonts.menu.face, win32::FieldText(ncm.lfMenuFont.lfFaceName, LF_FACESIZE));
  // Eleven pixels are 8.25 points at 96 dots per inch, 6.6 at 120; a face fills its field.
  LOGFONTW lf = {};
  lf.lfHeight = -11;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'ベ');
  const SystemFont at96 = FontFromLogFont(lf, 96);
  EXPECT_FLOAT_EQ(at96.points, 8.25f);
  EXPECT_FLOAT_EQ(FontFromLogFont(lf, 120).points, 6.6f);
  EXPECT_EQ(at96.weight, 700);
  EXPECT_TRUE(at96.italic);
  EXPECT_EQ(win32::Wide(at96.face), std::wstring(LF_FACESIZE, L'ベ'));
}

// A folder of the test's own, named with characters outside every 8-bit code page, and gone
// with all it holds when the test ends.
struct TempFolder {
  TempFolder() { std::filesystem::create_directory(win32::Wide(path)); }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(win32::Wide(path), ignored);
  }
  // Writes a file of these bytes into the folder; returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(std::filesystem::path(win32::Wide(path + "\\" + name)), std::ios::binary)
        << bytes;
    return path + "\\" + name;
  }
  static inline int count = 0;
  const std::string path = win32::Utf8(std::filesystem::temp_directory_path().wstring()) +
                           "unwindle-Übung-ベル-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++count);
};

// Answers the first dialog box this thread shows, once it is on the screen, with the command
// `scenario` returns (the box's own loop dispatches this thread's timer). Boxes after it, which
// only a failing test opens, are cancelled, so that the test ends.
struct DialogDriver {
  explicit DialogDriver(std::function<WPARAM(HWND)> s) : scenario(std::move(s)) {
    current = this;
    timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
      EnumThreadWindows(GetCurrentThreadId(), Answer, 0);
    });
  }
  ~DialogDriver() {
    KillTimer(nullptr, timer);
    current = nullptr;
  }
  static BOOL CALLBACK Answer(HWND h, LPARAM) {
    wchar_t cls[8] = {};
    GetClassNameW(h, cls, 8);
    if (!current || h == current->box || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(h))
      return TRUE;
    const bool first = !current->box;
    if (first) current->box = h;
    PostMessageW(h, WM_COMMAND, first ? current->scenario(h) : IDCANCEL, 0);
    return TRUE;
  }
  static inline DialogDriver* current = nullptr;
  std::function<WPARAM(HWND)> scenario;
  UINT_PTR timer = 0;
  HWND box = nullptr;  // the box the scenario ran on
};

RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND ChildByText(HWND parent, const std::string& text) {
  HWND c = GetWindow(parent, GW_CHILD);
  while (c && win32::WindowText(c) != text) c = GetWindow(c, GW_HWNDNEXT);
  return c;
}

// Whether two full paths name the same file (the system may change the case of a folder).
bool SamePath(const std::string& a, const std::string& b) {
  return _wcsicmp(win32::Wide(a).c_str(), win32::Wide(b).c_str()) == 0;
}

// The chooser, reporting to the test as its preview row.
struct ChooserTest : ::testing::Test, SoundPreviewSink {
  void SelectionChanged(const std::string& path) override { selections.push_back(path); }
  void PlayPressed() override { ++plays; }
  void StopPressed() override { ++stops; }
  void Closing() override { ++closings; }
  // What the user sees of the preview row: all of it inside the dialog and clear of the dialog's
  // own controls, the buttons with their pictures, pressed by a click or the space bar; the
  // dialog centred on the screen.
  void CheckPreviewRow(HWND dialog) {
    HWND label = ChildByText(dialog, "Preview:"), play = ChildByText(dialog, "Play"),
         stop = ChildByText(dialog, "Stop");
    ASSERT_TRUE(label && play && stop);
    RECT client, overlap;
    GetClientRect(dialog, &client);
    for (HWND h : {label, play, stop}) {
      const RECT r = RectIn(dialog, h);
      EXPECT_TRUE(IsWindowVisible(h) && IntersectRect(&overlap, &r, &client) &&
                  EqualRect(&overlap, &r))
          << "a preview control lies outside the dialog";
      for (HWND o = GetWindow(dialog, GW_CHILD); o; o = GetWindow(o, GW_HWNDNEXT)) {
        const RECT other = RectIn(dialog, o);
        const bool ours = o == label || o == play || o == stop;
        EXPECT_FALSE(!ours && IsWindowVisible(o) && IntersectRect(&overlap, &r, &other))
            << "a preview control covers another";
      }
    }
    EXPECT_TRUE(SendMessageW(play, BM_GETIMAGE, IMAGE_ICON, 0) &&
                SendMessageW(stop, BM_GETIMAGE, IMAGE_ICON, 0));
    SendMessageW(play, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    SendMessageW(stop, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(plays, 1);
    EXPECT_EQ(stops, 1);
    RECT wr;
    GetWindowRect(dialog, &wr);
    EXPECT_LE(std::abs(wr.left - (GetSystemMetrics(SM_CXSCREEN) - wr.right)), 1);
    EXPECT_LE(std::abs(wr.top - (GetSystemMetrics(SM_CYSCREEN) - wr.bottom)), 1);
  }
  std::vector<std::string> selections;
  int plays = 0, stops = 0, closings = 0;
  Trace trace{nullptr, ""};
  Win32FileDialog files{trace};
  TempFolder folder;
};

TEST_F(ChooserTest, ItOpensOnTheInitialFileAndCancelGivesNothingAndClosesThePreviewOnce) {
  std::string title, shown;
  DialogDriver driver([&](HWND dialog) -> WPARAM {
    title = win32::WindowText(dialog);
    shown = win32::WindowText(GetDlgItem(dialog, edt1));
    if (shown.empty()) shown = win32::WindowText(GetDlgItem(dialog, cmb13));
    CheckPreviewRow(dialog);
    return IDCANCEL;
  });
  EXPECT_EQ(files.ChooseSoundFile(0, folder.path, "Glöckchen ベル.wav", "Klänge ベル", *this), "");
  EXPECT_EQ(title, "Klänge ベル") << "the chooser shows its title";
  EXPECT_EQ(shown, "Glöckchen ベル.wav");
  EXPECT_EQ(closings, 1);
}

TEST_F(ChooserTest, AChosenFileComesBackWithItsFullPathAndSelectionsReachThePreview) {
  const std::string wav = folder.Write("Glocke ベル.wav", "RIFF");
  std::string selectedWhileOpen;
  DialogDriver driver([&](HWND dialog) -> WPARAM {
    // Select the file in the dialog's list, as a click would.
    HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr), LVM_SETITEMSTATE, 0,
                 reinterpret_cast<LPARAM>(&item));
    if (!selections.empty()) selectedWhileOpen = selections.back();
    SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(L"Glocke ベル.wav"));
    return IDOK;
  });
  const std::string got = files.ChooseSoundFile(0, folder.path, "", "Select Sound File", *this);
  EXPECT_TRUE(SamePath(got, wav)) << got;
  EXPECT_EQ(closings, 1);
  EXPECT_TRUE(SamePath(selectedWhileOpen, wav)) << "not previewed: " << selectedWhileOpen;
}

// Whatever it is given, the chooser opens: a folder or a file name longer than the system takes
// is left out (the default folder), a long title is cut.
TEST_F(ChooserTest, ItOpensWhateverItIsGivenAndTakesNoFolderBeyondTheLimit) {
  for (const auto& [dir, file] : {std::pair{std::string(10000, 'd'), std::string(10000, 'f')},
                                  {folder.path + "\\" + std::string(300, 'n'), "bell.wav"},
                                  {std::string(), std::string(1037, 'f')}}) {
    std::string title;
    DialogDriver driver([&](HWND dialog) -> WPARAM {
      title = win32::WindowText(dialog);
      return IDCANCEL;
    });
    EXPECT_EQ(files.ChooseSoundFile(0, dir, file, std::string(1000, 't'), *this), "");
    EXPECT_TRUE(driver.box) << dir.size() << " + " << file.size() << ": no chooser";
    EXPECT_EQ(title, std::string(255, 't'));
  }
  EXPECT_EQ(closings, 3);
  EXPECT_TRUE(files.FolderExists(folder.path));
  for (const std::string& no : {folder.Write("Glocke ベル.wav", "RIFF"), folder.path + "\\missing",
                                std::string(10000, 'd'), std::string()})
    EXPECT_FALSE(files.FolderExists(no)) << no.size();
}

// A sound file is read by a thread of its own and handed over by the program's loop, never before
// the call returns; what is not a file on a disk (a pipe whose read would never end) is not read;
// a wave plays from memory.
TEST(SoundPlayerTest, FilesAreReadAwayFromTheProgramAndComeBackThroughItsLoop) {
  Trace trace{nullptr, ""};
  trace.KeepLines(true);
  Win32Clock clock;
  Win32EventLoop loop{clock, trace};
  Win32SoundPlayer sound{trace, loop};
  TempFolder folder;
  // RIFF, a PCM format chunk (mono, 8000 Hz, 8 bits) and four samples.
  const std::string wave =
      std::string(
          "RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 36) +
      std::string("data\x04\0\0\0\x80\xff\x80\x00", 12);
  const std::string path = folder.Write("Glocke ベル.wav", wave);
  const std::wstring pipeName =
      L"\\\\.\\pipe\\unwindle-test-" + std::to_wstring(GetCurrentProcessId());
  const win32::ScopedHandle pipe(CreateNamedPipeW(
      pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
  struct Read {
    bool done = false, ok = false, late = false;
    std::string bytes;
  };
  auto read = [&](const std::string& p, size_t maxBytes) {
    auto r = std::make_shared<Read>();
    sound.ReadFileAsync(p, maxBytes, [r](bool ok, std::string bytes) {
      r->done = true;
      r->ok = ok;
      r->bytes = std::move(bytes);
    });
    EXPECT_FALSE(r->done) << p << ": answered before the call returned";
    loop.After(10000, [r] { r->late = true; });
    loop.RunUntil([r] { return r->done || r->late; });
    EXPECT_TRUE(r->done) << p << ": no answer in 10 s";
    return r;
  };
  auto whole = read(path, 1 << 20);
  EXPECT_TRUE(whole->ok);
  EXPECT_EQ(whole->bytes, wave);
  EXPECT_EQ(read(path, 10)->bytes, wave.substr(0, 10));
  EXPECT_FALSE(read(folder.path + "\\missing.wav", 100)->ok);
  EXPECT_FALSE(read(win32::Utf8(pipeName), 100)->ok) << "a pipe is not read";
  EXPECT_EQ(sound.readsUnderWay(), 0);

  EXPECT_EQ(sound.PlayWave("Glocke", std::make_shared<const std::string>(WaveImage(wave))), 1);
  EXPECT_EQ(trace.lines().back().substr(trace.lines().back().find('\t')),
            "\tsound.play\tGlocke\t8199\t1");
  sound.Stop();
}

// The message box as the user sees it: its text, the picture, the buttons in their order, the one
// Enter presses, whether it stands above other programs.
ShownMessage LookAt(HWND box) {
  ShownMessage seen;
  seen.shown = true;
  seen.title = win32::WindowText(box);
  seen.onTop = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  const LRESULT defId = SendMessageW(box, DM_GETDEFID, 0, 0);
  auto isButton = [](HWND c) {
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    return _wcsicmp(cls, L"Button") == 0;
  };
  bool defaultDrawn = false;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    defaultDrawn |= isButton(c) && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  std::vector<std::pair<LONG, MessageAnswer>> buttons;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    if (isButton(c)) {
      const int id = GetDlgCtrlID(c);
      const MessageAnswer a = id == IDOK    ? MessageAnswer::kOk
                              : id == IDYES ? MessageAnswer::kYes
                              : id == IDNO  ? MessageAnswer::kNo
                                            : MessageAnswer::kNone;
      buttons.emplace_back(RectIn(box, c).left, a);
      // The button drawn as the default, which Enter presses; else the dialog's default.
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen.enterPresses = a;
      if (!defaultDrawn && HIWORD(defId) == DC_HASDEFID && LOWORD(defId) == id)
        seen.enterPresses = a;
    } else if (_wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
      const HICON icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
      for (auto [id, kind] : {std::pair{IDI_INFORMATION, MessageIcon::kInformation},
                              {IDI_WARNING, MessageIcon::kWarning},
                              {IDI_QUESTION, MessageIcon::kQuestion},
                              {IDI_ERROR, MessageIcon::kError}})
        if (icon && icon == LoadIconA(nullptr, id)) seen.icon = kind;
    } else if (_wcsicmp(cls, L"Static") == 0) {
      const std::string text = win32::WindowText(c);
      if (!text.empty()) seen.text = text;
    }
  }
  std::sort(buttons.begin(), buttons.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& b : buttons) seen.buttons.push_back(b.second);
  return seen;
}

// The system's message box, answered by a timer that presses its button once it is on the
// screen.
struct Win32Boxes {
  Dialogs& dialogs() { return service; }
  void PressWhenShown(MessageAnswer button) {
    driver.reset();
    seen = {};
    driver.emplace([this, button](HWND box) -> WPARAM {
      seen = LookAt(box);
      return button == MessageAnswer::kYes ? IDYES : button == MessageAnswer::kNo ? IDNO : IDOK;
    });
  }
  ShownMessage Shown() {
    driver.reset();
    return seen;
  }
  Trace trace{nullptr, ""};
  Win32Dialogs service{trace};
  std::optional<DialogDriver> driver;
  ShownMessage seen;
};
struct Win32MessageFixture : ::testing::Test, Win32Boxes {};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, MessageContract, ::testing::Types<Win32MessageFixture>);

// A line ending in "\n" alone reaches the box as "\r\n", the way the system breaks lines; one
// that has it already keeps it.
TEST(MessageBoxTest, EveryLineBreakReachesTheBoxAsTheSystemsOwn) {
  Win32Boxes box;
  box.PressWhenShown(MessageAnswer::kOk);
  box.dialogs().ShowMessage(0, Information("one\ntwo\r\nthree\n\nfour", "Übung"));
  EXPECT_EQ(box.Shown().text, "one\r\ntwo\r\nthree\r\n\r\nfour");
}

TEST(ShellServiceTest, FileExistsForFilesOnly) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  TempFolder folder;
  EXPECT_TRUE(shell.FileExists(folder.Write("Übung ベル.txt", "x")));
  for (const std::string& no : {folder.path, folder.path + "\\missing ベル.txt", std::string()})
    EXPECT_FALSE(shell.FileExists(no)) << no;
}

struct CloseChangeNotification {
  void operator()(HANDLE h) const { FindCloseChangeNotification(h); }
};

// Each way of starting a program fails for one that does not exist, and hands one that does
// its command line with every character: the line names a new folder, which then appears.
TEST(ShellServiceTest, StartedProgramsGetEveryCharacterOfTheirCommandLines) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  TempFolder folder;
  for (bool execute : {false, true}) {
    auto start = [&](const std::string& program, const std::string& arguments) {
      return execute ? shell.Execute(0, "open", program, arguments, "", SW_HIDE) > 32
                     : shell.RunProgram(program + " " + arguments, SW_HIDE);
    };
    EXPECT_FALSE(start("Z:\\no\\such\\program.exe", ""));
    const std::wstring made = win32::Wide(folder.path + "\\ベル " + std::to_string(++folder.count));
    const win32::Owned<HANDLE, CloseChangeNotification> change(FindFirstChangeNotificationW(
        win32::Wide(folder.path).c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME));
    ASSERT_NE(change.get(), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(start("cmd.exe", "/c mkdir \"" + win32::Utf8(made) + "\""));
    auto exists = [&] { return GetFileAttributesW(made.c_str()) != INVALID_FILE_ATTRIBUTES; };
    while (!exists() && WaitForSingleObject(change, 20000) == WAIT_OBJECT_0)
      FindNextChangeNotification(change);
    EXPECT_TRUE(exists()) << "no folder " << win32::Utf8(made);
  }
}

struct Win32ShellFixture : ::testing::Test {
  Shell& shell() { return service; }
  // No browser under the tests' Wine: the page goes nowhere, and the call still comes back.
  std::string PageToOpen() { return "https://korvante.example/unwindle"; }
  Trace trace{nullptr, ""};
  Win32Shell service{trace};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ShellContract, ::testing::Types<Win32ShellFixture>);

// System Information is where the registry says, its own path first, else MSINFO32.EXE in the
// shared tools' folder; planted in the machine's keys of the throw-away prefix.
TEST(ShellServiceTest, SystemInformationIsFoundThroughTheRegistry) {
  const wchar_t* tool = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
  const wchar_t* shared = L"SOFTWARE\\Microsoft\\Shared Tools Location";
  auto present = [](const wchar_t* key, const wchar_t* value) {
    return RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  };
  if (present(tool, L"PATH") || present(shared, L"MSINFO"))
    GTEST_SKIP() << "the system has it registered: nothing is planted over it";
  auto plant = [](const wchar_t* key, const wchar_t* value, const std::string& text) {
    const std::wstring w = win32::Wide(text);
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, value, REG_SZ, w.c_str(),
                              static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  };
  struct Unplant {
    const wchar_t *tool, *shared;
    ~Unplant() {
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, tool, L"PATH");
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, shared, L"MSINFO");
    }
  } unplant{tool, shared};
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  TempFolder folder;
  EXPECT_FALSE(shell.OpenSystemInformation()) << "nothing registered";
  plant(shared, L"MSINFO", folder.path);
  EXPECT_FALSE(shell.OpenSystemInformation()) << "a folder without the tool";
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  plant(shared, L"MSINFO", win32::Utf8(system));  // Wine's own MSINFO32.EXE
  EXPECT_TRUE(shell.OpenSystemInformation());
  plant(tool, L"PATH", folder.path + "\\missing ベル.exe");
  EXPECT_FALSE(shell.OpenSystemInformation()) << "the tool's own path comes first";
}

// Run from a folder and under a name outside the code page (a copy of this test program, which
// checks itself there), the program finds where it lives.
TEST(WorkstationTest, TheProgramKnowsItsFolderAndNameWhateverTheirCharacters) {
  Trace trace{nullptr, ""};
  Win32Workstation workstation{trace};
  if (const wchar_t* expected = _wgetenv(L"UNWINDLE_TEST_EXPECTED_FOLDER")) {
    EXPECT_EQ(workstation.AppPath(), win32::Utf8(expected));
    EXPECT_EQ(workstation.AppExeName(), "Übung ベル");
    return;
  }
  TempFolder folder;
  const std::wstring copy = win32::Wide(folder.path + "\\Übung ベル.exe");
  ASSERT_TRUE(CopyFileW(win32::ProgramFile().c_str(), copy.c_str(), FALSE));
  SetEnvironmentVariableW(L"UNWINDLE_TEST_EXPECTED_FOLDER", win32::Wide(folder.path).c_str());
  std::wstring line = L"\"" + copy + L"\" --gtest_brief=1 --gtest_filter=WorkstationTest.*";
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  const BOOL started = CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(L"UNWINDLE_TEST_EXPECTED_FOLDER", nullptr);
  ASSERT_TRUE(started);
  const win32::ScopedHandle process(pi.hProcess), thread(pi.hThread);
  DWORD code = 1;
  EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 0u) << "the copy did not find itself (its report is above)";
}

}  // namespace
}  // namespace unw
