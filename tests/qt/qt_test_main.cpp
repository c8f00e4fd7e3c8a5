// The Qt back end's tests run on a desktop of their own (test_desktop.h): a private X server and
// session bus with the desktop services they talk to; offscreen where those cannot be started.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#include "test_desktop.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  bool listing = false;
  for (int i = 1; i < argc; ++i) listing = listing || std::strstr(argv[i], "gtest_list_tests");
  unw::qttest::TestDesktop desktop;
  const bool real = !listing && desktop.Start();
  qputenv("QT_QPA_PLATFORM", real ? "xcb" : "offscreen");
  // Nothing of the user's desktop reaches the tests.
  qputenv("XDG_CURRENT_DESKTOP", "");
  qunsetenv("QT_QPA_PLATFORMTHEME");
  int rc = 0;
  {
    QApplication app(argc, argv);
    if (real && !desktop.Serve()) return 2;
    rc = RUN_ALL_TESTS();
    desktop.Stop();
  }
  return rc;
}
