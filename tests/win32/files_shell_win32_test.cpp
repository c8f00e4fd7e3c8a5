// The sound file chooser and the shell service against the real system: the
// chooser is driven from a timer of this thread while its own loop runs.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/trace.h"
#include "platform/win32/file_dialog_win32.h"
#include "platform/win32/shell_win32.h"

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

// Runs `scenario` on the chooser once it is on the screen; the dialog's own
// message loop dispatches this thread's timer. A chooser that never shows is
// given up after a while, and one still open long after is cancelled, so that
// a failing test ends.
class ChooserDriver {
 public:
  explicit ChooserDriver(std::function<void(HWND)> scenario) : scenario_(std::move(scenario)) {
    current_ = this;
    start_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 30, Tick);
  }
  ~ChooserDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool ran() const { return ran_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ChooserDriver* d = current_;
    if (!d) return;
    HWND dialog = FindWindowA("#32770", kTitle);
    const DWORD elapsed = GetTickCount() - d->start_;
    if (dialog && IsWindowVisible(dialog) && !d->ran_) {
      d->ran_ = true;
      d->scenario_(dialog);
    } else if (dialog && elapsed > 15000) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  }

  static inline ChooserDriver* current_ = nullptr;
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

HWND ChildByText(HWND parent, const char* cls, const char* text) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char buf[64] = {}, name[64] = {};
    GetClassNameA(c, name, sizeof name);
    GetWindowTextA(c, buf, sizeof buf);
    if (_stricmp(name, cls) == 0 && std::strcmp(buf, text) == 0) return c;
  }
  return nullptr;
}

std::string TempDir() {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  std::string dir = std::string(base) + "unwindle-chooser-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
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
  ChooserDriver driver([&](HWND dialog) {
    CheckPreviewRow(dialog, sink);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  const std::string got = files.ChooseSoundFile(0, TempDir(), "", kTitle, sink);
  ASSERT_TRUE(driver.ran()) << "the chooser never showed";
  EXPECT_EQ(got, "");
  EXPECT_EQ(sink.closings, 1);
  ASSERT_GE(trace.lines().size(), 2u);
  EXPECT_EQ(trace.lines().front(), "0\tfiles.open\t" + Trace::Escape(TempDir()) + "\t\t" + kTitle);
  EXPECT_EQ(trace.lines().back(), "0\tfiles.close\t");
}

TEST_F(ChooserTest, AChosenFileComesBackWithItsFullPathAndSelectionsReachThePreview) {
  const std::string dir = TempDir();
  const std::string wav = dir + "\\bell.wav";
  { std::ofstream(wav, std::ios::binary) << "RIFF"; }
  std::string selectedWhileOpen;
  ChooserDriver driver([&](HWND dialog) {
    // Select the file in the dialog's list, as a click would.
    HWND view = FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr);
    HWND list = view ? FindWindowExA(view, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
    if (list) {
      LVITEMA item = {};
      item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (!sink.selections.empty()) selectedWhileOpen = sink.selections.back();
    SendMessageA(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>("bell.wav"));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  const std::string got = files.ChooseSoundFile(0, dir, "", kTitle, sink);
  DeleteFileA(wav.c_str());
  RemoveDirectoryA(dir.c_str());
  ASSERT_TRUE(driver.ran()) << "the chooser never showed";
  EXPECT_EQ(_stricmp(got.c_str(), wav.c_str()), 0) << got;
  EXPECT_EQ(sink.closings, 1);
  EXPECT_EQ(_stricmp(selectedWhileOpen.c_str(), wav.c_str()), 0)
      << "the selection did not reach the preview: " << selectedWhileOpen;
  EXPECT_EQ(trace.lines().back(), "0\tfiles.close\t" + Trace::Escape(got));
}

TEST_F(ChooserTest, TheInitialFileStandsInTheNameField) {
  std::string shown;
  ChooserDriver driver([&](HWND dialog) {
    char text[MAX_PATH] = {};
    GetDlgItemTextA(dialog, edt1, text, sizeof text);
    if (!text[0]) GetDlgItemTextA(dialog, cmb13, text, sizeof text);
    shown = text;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  files.ChooseSoundFile(0, TempDir(), "chimes.wav", kTitle, sink);
  ASSERT_TRUE(driver.ran());
  EXPECT_EQ(shown, "chimes.wav");
}

TEST(ShellServiceTest, FileExistsForFilesOnly) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  const std::string dir = TempDir();
  const std::string file = dir + "\\present.txt";
  { std::ofstream(file) << "x"; }
  EXPECT_TRUE(shell.FileExists(file));
  EXPECT_FALSE(shell.FileExists(dir)) << "a directory is no file";
  EXPECT_FALSE(shell.FileExists(dir + "\\missing.txt"));
  EXPECT_FALSE(shell.FileExists(""));
  DeleteFileA(file.c_str());
  RemoveDirectoryA(dir.c_str());
  EXPECT_FALSE(shell.FileExists(file));
}

TEST(ShellServiceTest, ProgramVersionIsTheExecutablesOwnOrNothing) {
  Trace trace{nullptr, ""};
  Win32Shell shell{trace};
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  DWORD handle = 0;
  const bool hasResource = GetFileVersionInfoSizeA(path, &handle) > 0;
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

}  // namespace
}  // namespace unw
