// What the Win32 presence takes for a full-screen program: a window that covers its whole monitor
// without a title bar and without being maximized.
#include <windows.h>

#include <gtest/gtest.h>

#include "backends/win32/presence_win32.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "platform/trace.h"

namespace unw {
namespace {

TEST(Win32Presence, OnlyAFramelessWindowCoveringItsMonitorIsFullScreen) {
  const RECT monitor = {0, 0, 1280, 800};
  struct Case {
    const char* what;
    DWORD style;
    bool maximized;
    RECT window;
    bool fullScreen;
  } cases[] = {
      {"a film or a game", WS_POPUP | WS_VISIBLE, false, {0, 0, 1280, 800}, true},
      {"a presentation a little larger", WS_POPUP, false, {-8, -8, 1288, 808}, true},
      {"a maximized program (the work area is the monitor)",
       WS_OVERLAPPEDWINDOW,
       true,
       {0, 0, 1280, 800},
       false},
      {"a maximized frameless window", WS_POPUP, true, {0, 0, 1280, 800}, false},
      {"a captioned window dragged over it all",
       WS_OVERLAPPEDWINDOW,
       false,
       {-4, -4, 1284, 804},
       false},
      {"a title bar without a frame", WS_POPUP | WS_CAPTION, false, {0, 0, 1280, 800}, false},
      {"a frameless window short of the edge", WS_POPUP, false, {0, 0, 1280, 799}, false},
      {"a frameless window on the next monitor", WS_POPUP, false, {1280, 0, 2560, 800}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Win32Presence::IsFullScreenWindow(static_cast<LONG>(c.style), c.maximized, c.window,
                                                monitor),
              c.fullScreen)
        << c.what;
}

TEST(Win32Presence, AProgramFileEndsAsThisTestProgramsOwnFileDoes) {
  Trace quiet(nullptr, "");
  Win32Presence presence(quiet);
  const std::string suffix = presence.ProgramFileSuffix();
  const std::string self = win32::Utf8(win32::ProgramFile());
  ASSERT_GT(self.size(), suffix.size());
  EXPECT_EQ(CompareStringOrdinal(win32::Wide(self.substr(self.size() - suffix.size())).c_str(), -1,
                                 win32::Wide(suffix).c_str(), -1, TRUE),
            CSTR_EQUAL)
      << self;
}

}  // namespace
}  // namespace unw
