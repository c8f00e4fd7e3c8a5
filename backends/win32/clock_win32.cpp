#include "backends/win32/clock_win32.h"

#include <windows.h>

namespace unw {

Win32Clock::Win32Clock() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  frequency_ = f.QuadPart > 0 ? f.QuadPart : 1;
  start_ = c.QuadPart;
}

int64_t Win32Clock::NowMs() const {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  const int64_t ticks = c.QuadPart - start_;
  // Split the division so that ticks * 1000 cannot overflow on long runs.
  return ticks / frequency_ * 1000 + ticks % frequency_ * 1000 / frequency_;
}

}  // namespace unw
