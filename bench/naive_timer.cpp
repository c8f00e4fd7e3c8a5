// The yardstick for the countdown's accuracy: a plain SetTimer(1000) tick counter, the way a
// countdown is usually written. It counts N + 1 ticks and prints how late the last one came
// against start + (N + 1) s, measured with QueryPerformanceCounter.
//
//   naive_timer.exe N      (default 120)
//
// Output (one line): "naive_timer ticks=121 expected_ms=121000 actual_ms=121840 error_ms=840"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LARGE_INTEGER g_freq;
LARGE_INTEGER g_start;
long g_ticks = 0;
long g_target = 0;

double MsSinceStart() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - g_start.QuadPart) * 1000.0 /
         static_cast<double>(g_freq.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 120;
  if (n < 0) return 2;
  g_target = n + 1;

  QueryPerformanceFrequency(&g_freq);
  QueryPerformanceCounter(&g_start);
  // A thread timer: WM_TIMER arrives through this thread's message queue like a window's would.
  const UINT_PTR id = SetTimer(nullptr, 0, 1000, nullptr);
  if (id == 0) {
    std::printf("naive_timer error: SetTimer failed (%lu)\n", GetLastError());
    return 1;
  }

  double last = 0;
  MSG msg;
  while (g_ticks < g_target && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == id) {
      ++g_ticks;
      last = MsSinceStart();
    } else {
      DispatchMessageA(&msg);
    }
  }
  KillTimer(nullptr, id);

  const double expected = static_cast<double>(g_target) * 1000.0;
  std::printf("naive_timer ticks=%ld expected_ms=%.0f actual_ms=%.0f error_ms=%.0f\n", g_ticks,
              expected, last, last - expected);
  std::fflush(stdout);
  return 0;
}
