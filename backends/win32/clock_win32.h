// The program's monotonic clock: milliseconds since start from the
// performance counter, which neither jumps with the wall clock nor wraps.
#pragma once

#include <cstdint>

namespace unw {

// Milliseconds on the performance counter, zero at construction.
class Win32Clock {
 public:
  Win32Clock();
  // Milliseconds since this clock was made.
  int64_t NowMs() const;

 private:
  int64_t start_ = 0;
  int64_t frequency_ = 1;
};

}  // namespace unw
