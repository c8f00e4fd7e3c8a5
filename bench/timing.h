// The benchmarks' clock: milliseconds from the performance counter, and the median of repeated
// timings.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace unw::bench {

inline double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The median of `runs` timings of `work`, in milliseconds.
template <typename Work>
double Median(int runs, Work&& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    work();
    ms.push_back(NowMs() - start);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace unw::bench
