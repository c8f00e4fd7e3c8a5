// A program of the test suite's own that stands for one the user names so that alerts wait while
// it runs (a presentation, a call): it does nothing but run, for ten minutes at most, until the
// end-to-end checks end it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(10 * 60 * 1000);
  return 0;
}
