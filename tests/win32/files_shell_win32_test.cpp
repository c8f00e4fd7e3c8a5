// The sound file chooser, the message box and the shell and workstation
// services against the real system: a dialog is driven from a timer of this
// thread while its own loop runs. Paths carry characters outside the
// system's 8-bit code page (this test program does not ask for UTF-8).
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/trace.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/file_dialog_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_util.h"
#include "platform/win32/workstation_win32.h"
#include "temp_folder.h"

// The header maps the name onto ShellExecuteA; here it names the service's call.
#undef ShellExecute

namespace unw {
namespace {

constexpr char kTitle[] = "Unwindle test - Select Sound File";

struct RecordingSink : SoundPreviewSink {
  void SelectionChanged(const std::string& path) override { selections.push_back(path); }
  void PlayPressed() override { ++plays; }
  void StopPressed() override { ++stops; }
  void Closing() override { ++closings; }
  std::vector<std::string> selections;
  int plays = 0, stops = 0, closings = 0;
};

// Runs `scenario` on the dialog titled `title` once it is on the screen; the
// dialog's own message loop dispatches this thread's timer. Whatever dialog of
// this thread is still open long after (a wrong title, a scenario that did
// not close it) is answered "Cancel" and "No", so that a failing test ends.
class DialogDriver {
 public:
  DialogDriver(const std::string& title, std::function<void(HWND)> scenario)
      : title_(win32::Wide(title)), scenario_(std::move(scenario)) {
    current_ = this;
    start_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 30, Tick);
  }
  ~DialogDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool ran() const { return ran_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver* d = current_;
    if (!d) return;
    HWND dialog = FindWindowW(L"#32770", d->title_.c_str());
    if (dialog && IsWindowVisible(dialog) && !d->ran_) {
      d->ran_ = true;
      d->scenario_(dialog);
    } else if (GetTickCount() - d->start_ > 15000) {
      EnumThreadWindows(GetCurrentThreadId(), GiveUp, 0);
    }
  }
  static BOOL CALLBACK GiveUp(HWND h, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (std::wstring(cls) == L"#32770") {
      PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
      PostMessageW(h, WM_COMMAND, IDNO, 0);
    }
    return TRUE;
  }

  static inline DialogDriver* current_ = nullptr;
  std::wstring title_;
  std::function<void(HWND)> scenario_;
  UINT_PTR timer_ = 0;
  DWORD start_ = 0;
  bool ran_ = false;
};

RECT ClientRectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND ChildByText(HWND parent, const char* cls, const std::string& text) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(c, name, sizeof name);
    if (_stricmp(name, cls) == 0 && win32::WindowText(c) == text) return c;
  }
  return nullptr;
}

// Whether two full paths name the same file (the system may change the case of a folder).
bool SamePath(const std::string& a, const std::string& b) {
  return _wcsicmp(win32::Wide(a).c_str(), win32::Wide(b).c_str()) == 0;
}

struct ChooserTest : ::testing::Test {
  void SetUp() override { trace.KeepLines(true); }
  Trace trace{nullptr, ""};
  Win32FileDialog files{trace};
  RecordingSink sink;
};

// What the user sees of the preview row: all three there, inside the dialog,
// clear of the dialog's own controls; the buttons report to the preview.
void CheckPreviewRow(HWND dialog, RecordingSink& sink) {
  HWND label = ChildByText(dialog, "Static", "Preview:");
  HWND play = ChildByText(dialog, "Button", "Play");
  HWND stop = ChildByText(dialog, "Button", "Stop");
  ASSERT_TRUE(label && play && stop);
  RECT client;
  GetClientRect(dialog, &client);
  const HWND ours[] = {label, play, stop};
  for (HWND h : ours) {
    EXPECT_TRUE(IsWindowVisible(h));
    const RECT r = ClientRectIn(dialog, h);
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
        << "a preview control lies outside the dialog";
    for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
      if (other == label || other == play || other == stop || !IsWindowVisible(other)) continue;
      RECT o = ClientRectIn(dialog, other), overlap;
      char cls[64] = {};
      GetClassNameA(other, cls, sizeof cls);
      EXPECT_FALSE(IntersectRect(&overlap, &r, &o)) << "a preview control covers a " << cls;
    }
  }
  const RECT p = ClientRectIn(dialog, play), s = ClientRectIn(dialog, stop);
  EXPECT_EQ(p.right - p.left, p.bottom - p.top);  // square icon buttons
  EXPECT_LE(p.right, s.left);
  EXPECT_TRUE(GetWindowLongPtrA(play, GWL_STYLE) & BS_ICON);
  EXPECT_TRUE(SendMessageA(play, BM_GETIMAGE, IMAGE_ICON, 0));
  // The label in the dialog's font, at normal weight.
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  ASSERT_TRUE(font);
  LOGFONTA lf = {};
  ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  // A click (the release) and the space bar press the buttons.
  SendMessageA(play, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  SendMessageA(stop, WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(sink.plays, 1);
  EXPECT_EQ(sink.stops, 1);
  // The dialog is centred on the screen.
  RECT wr;
  GetWindowRect(dialog, &wr);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs(wr.left - (cx - wr.right)), 1);
  EXPECT_LE(std::abs(wr.top - (cy - wr.bottom)), 1);
}

TEST_F(ChooserTest, CancelGivesNothingAndClosesThePreviewOnce) {
  TempFolder folder;
  DialogDriver driver(kTitle, [&](HWND dialog) {
    CheckPreviewRow(dialog, sink);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  const std::string got = files.ChooseSoundFile(0, folder.path(), "", kTitle, sink);
  ASSERT_TRUE(driver.ran()) << "the chooser never showed";
  EXPECT_EQ(got, "");
  EXPECT_EQ(sink.closings, 1);
  ASSERT_GE(trace.lines().size(), 2u);
  EXPECT_EQ(trace.lines().front(),
            "0\tfiles.open\t" + Trace::Escape(folder.path()) + "\t\t" + kTitle);
  EXPECT_EQ(trace.lines().back(), "0\tfiles.close\t");
}

TEST_F(ChooserTest, AChosenFileComesBackWithItsFullPathAndSelectionsReachThePreview) {
  TempFolder folder;
  const std::string wav = folder.Write("Glocke ベル.wav", "RIFF");
  std::string selectedWhileOpen;
  DialogDriver driver(kTitle, [&](HWND dialog) {
    // Select the file in the dialog's list, as a click would.
    HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    HWND list = view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (list) {
      LVITEMW item = {};
      item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (!sink.selections.empty()) selectedWhileOpen = sink.selections.back();
    SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(L"Glocke ベル.wav"));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  const std::string got = files.ChooseSoundFile(0, folder.path(), "", kTitle, sink);
  ASSERT_TRUE(driver.ran()) << "the chooser never showed";
  EXPECT_TRUE(SamePath(got, wav)) << got;
  EXPECT_EQ(sink.closings, 1);
  EXPECT_TRUE(SamePath(selectedWhileOpen, wav))
      << "the selection did not reach the preview: " << selectedWhileOpen;
  EXPECT_EQ(trace.lines().back(), "0\tfiles.close\t" + Trace::Escape(got));
}

TEST_F(ChooserTest, TheInitialFileStandsInTheNameField) {
  TempFolder folder;
  std::string shown;
  DialogDriver driver(kTitle, [&](HWND dialog) {
    shown = win32::WindowText(GetDlgItem(dialog, edt1));
    if (shown.empty()) shown = win32::WindowText(GetDlgItem(dialog, cmb13));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  files.ChooseSoundFile(0, folder.path(), "Glöckchen ベル.wav", kTitle, sink);
  ASSERT_TRUE(driver.ran());
  EXPECT_EQ(shown, "Glöckchen ベル.wav");
}

TEST(MessageBoxTest, TheQuestionShowsEveryCharacterAndGivesTheAnswer) {
  Trace trace{nullptr, ""};
  Win32Dialogs dialogs{trace};
  const std::string title = "Unwindle – Übung ベル";
  const std::string text = "Zeit für eine Pause? ベル";
  std::vector<std::string> shown;
  DialogDriver driver(title, [&](HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      shown.push_back(win32::WindowText(c));
    PostMessageW(box, WM_COMMAND, IDNO, 0);
  });
  EXPECT_EQ(dialogs.ShowMessageBox(0, text, title, MB_YESNO | MB_ICONQUESTION), IDNO);
  ASSERT_TRUE(driver.ran()) << "no message box with that title";
  EXPECT_NE(std::find(shown.begin(), shown.end(), text), shown.end()) << "the text is not shown";
}

TEST(ShellServiceTest, FileExistsForFilesOnly) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  std::string file;
  {
    TempFolder folder;
    file = folder.Write("Übung ベル.txt", "x");
    EXPECT_TRUE(shell.FileExists(file));
    EXPECT_FALSE(shell.FileExists(folder.path())) << "a directory is no file";
    EXPECT_FALSE(shell.FileExists(folder.path() + "\\missing ベル.txt"));
    EXPECT_FALSE(shell.FileExists(""));
  }
  EXPECT_FALSE(shell.FileExists(file));
}

// Run from a folder and under a name outside the code page (a copy of this
// program, which checks itself), the program finds where it lives.
TEST(WorkstationTest, TheProgramKnowsItsFolderAndNameWhateverTheirCharacters) {
  Trace trace{nullptr, ""};
  Win32Workstation workstation{trace};
  constexpr wchar_t kExpected[] = L"UNWINDLE_TEST_EXPECTED_FOLDER";
  wchar_t expected[MAX_PATH * 2] = {};
  if (GetEnvironmentVariableW(kExpected, expected, MAX_PATH * 2) > 0) {
    EXPECT_EQ(workstation.AppPath(), win32::Utf8(expected));
    EXPECT_EQ(workstation.AppExeName(), "Übung ベル");
    return;
  }
  TempFolder folder;
  const std::wstring copy = win32::Wide(folder.path() + "\\Übung ベル.exe");
  ASSERT_TRUE(CopyFileW(win32::ProgramFile().c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(SetEnvironmentVariableW(kExpected, win32::Wide(folder.path()).c_str()));
  std::wstring line = L"\"" + copy + L"\" --gtest_brief=1 --gtest_filter=WorkstationTest.*";
  // The copy reports into a file, shown when it failed.
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const HANDLE report =
      CreateFileW(win32::Wide(folder.path() + "\\report.txt").c_str(), GENERIC_WRITE,
                  FILE_SHARE_READ, &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(report, INVALID_HANDLE_VALUE);
  win32::ScopedHandle output(report);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = output;
  PROCESS_INFORMATION pi = {};
  const BOOL started = CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &si, &pi);
  SetEnvironmentVariableW(kExpected, nullptr);
  ASSERT_TRUE(started);
  win32::ScopedHandle process(pi.hProcess), thread(pi.hThread);
  ASSERT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
  output.reset();
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 0u) << "the copy did not find itself:\n" << folder.Read("report.txt");
}

TEST(ShellServiceTest, ProgramVersionIsTheExecutablesOwnOrNothing) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  DWORD handle = 0;
  const bool hasResource = GetFileVersionInfoSizeW(win32::ProgramFile().c_str(), &handle) > 0;
  int major = -1, minor = -1;
  EXPECT_EQ(shell.ProgramVersion(major, minor), hasResource);
  if (!hasResource) {
    // Untouched, so that the caller keeps its own defaults.
    EXPECT_EQ(major, -1);
    EXPECT_EQ(minor, -1);
  }
}

TEST(ShellServiceTest, RunProgramStartsWhatExistsAndTracesIt) {
  Trace trace{nullptr, ""};
  trace.KeepLines(true);
  Win32Shell shell{trace};
  EXPECT_FALSE(shell.RunProgram("Z:\\no\\such\\program.exe", SW_SHOWNORMAL));
  EXPECT_TRUE(shell.RunProgram("cmd.exe /c exit 0", SW_HIDE));
  ASSERT_EQ(trace.lines().size(), 2u);
  EXPECT_EQ(trace.lines()[0], "0\tshell.run\tZ:\\\\no\\\\such\\\\program.exe\t1");
  EXPECT_EQ(trace.lines()[1], "0\tshell.run\tcmd.exe /c exit 0\t0");
}

TEST(ShellServiceTest, ShellExecuteReportsFailureAsTheSystemDoes) {
  Trace trace{nullptr, ""};
  trace.KeepLines(true);
  Win32Shell shell{trace};
  EXPECT_LE(shell.ShellExecute(0, "open", "Z:\\no\\such\\document.wav", "", "", SW_SHOWNORMAL), 32);
  ASSERT_EQ(trace.lines().size(), 1u);
  EXPECT_EQ(trace.lines()[0], "0\tshell.execute\topen\tZ:\\\\no\\\\such\\\\document.wav\t1");
}

// Each way of starting a program hands it a command line that names a new folder; the folder
// appears under that name once the program has read it.
TEST(ShellServiceTest, StartedProgramsGetEveryCharacterOfTheirCommandLines) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  TempFolder folder;
  const struct {
    const char* folderName;
    std::function<bool(const std::string& arguments)> start;
  } ways[] = {
      {"run ベル",
       [&](const std::string& a) { return shell.RunProgram("cmd.exe /c " + a, SW_HIDE); }},
      {"execute ベル",
       [&](const std::string& a) {
         return shell.ShellExecute(0, "open", "cmd.exe", "/c " + a, "", SW_HIDE) > 32;
       }},
  };
  for (const auto& way : ways) {
    const std::string made = folder.path() + "\\" + way.folderName;
    ASSERT_TRUE(way.start("mkdir \"" + made + "\"")) << way.folderName;
    const DWORD end = GetTickCount() + 20000;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    while (attributes == INVALID_FILE_ATTRIBUTES && static_cast<int>(end - GetTickCount()) > 0) {
      Sleep(20);
      attributes = GetFileAttributesW(win32::Wide(made).c_str());
    }
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "no folder \"" << made << "\"";
  }
}

}  // namespace
}  // namespace unw
