// The sound chooser's preview row, subclassed inside the system's own dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "backends/win32/file_dialog_win32.h"
#include "forge.h"

namespace unw {
namespace {

// The window of this thread (or its dialog's child) that carries this automation name.
HWND Named(DWORD thread, const wchar_t* name) {
  struct Find {
    const wchar_t* name;
    HWND found;
  } find{name, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND top, LPARAM l) -> BOOL {
        auto* f = reinterpret_cast<Find*>(l);
        EnumChildWindows(
            top,
            [](HWND h, LPARAM l2) -> BOOL {
              auto* f2 = reinterpret_cast<Find*>(l2);
              wchar_t text[64] = {};
              const auto atom =
                  static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(h, L"UnwindleName")));
              if (!atom || !GlobalGetAtomNameW(atom, text, 64) || std::wstring(text) != f2->name)
                return TRUE;
              f2->found = h;
              return FALSE;
            },
            l);
        return f->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// Another program's creation and destruction messages to the Play button, while the chooser is
// open: the button still plays and keeps its name. The dialog's own end then releases the name.
TEST(SoundChooser, PreviewButtonsOutliveForgedMessagesAndGoWithTheDialog) {
  struct Sink : SoundPreviewSink {
    void SelectionChanged(const std::string&) override {}
    void PlayPressed() override { ++plays; }
    void StopPressed() override {}
    void Closing() override {}
    std::atomic<int> plays = 0;
  } sink;
  Trace trace{nullptr, ""};
  Win32FileDialog files{trace};
  const DWORD ui = GetCurrentThreadId();
  std::atomic<bool> found = false, untouched = false, named = false;
  std::atomic<int> playsBefore = -1;
  std::thread other([&] {
    HWND play = nullptr;
    for (int i = 0; i < 200 && !play; ++i) {
      Sleep(50);
      play = Named(ui, L"cmdPreviewPlay");
    }
    if (!play) return;
    found = true;
    SendMessageW(play, WM_LBUTTONUP, 0, 0);
    playsBefore = sink.plays.load();
    untouched = ForgeLifeMessages(play, [] {});
    SendMessageW(play, WM_LBUTTONUP, 0, 0);
    named = GetPropW(play, L"UnwindleName") != nullptr;
    PostMessageW(GetAncestor(play, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(files.ChooseSoundFile(0, "", "", "Choose a sound", sink), "");
  other.join();
  ASSERT_TRUE(found) << "no chooser with a Play button";
  EXPECT_EQ(playsBefore, 1);
  EXPECT_EQ(sink.plays, 2) << "Play no longer plays";
  EXPECT_TRUE(untouched);
  EXPECT_TRUE(named);
  EXPECT_EQ(GlobalFindAtomW(L"cmdPreviewPlay"), 0) << "its name outlived the dialog";
}

}  // namespace
}  // namespace unw
