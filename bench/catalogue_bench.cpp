// What the catalogues cost at start-up: the program reads its catalogues (the pack unpacked, each
// language read) when it first chooses a language. English needs none of it but the same reading
// happens to fill the Language menu, so the figure is the whole start-up cost of the translations;
// beside it, the lookups of a window's texts in English and in a language. Prints figures and
// never fails. Carries the build's catalogues as unwindle.exe does.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "backends/win32/languages_win32.h"
#include "bench/timing.h"
#include "i18n/language.h"
#include "i18n/texts.h"

using unw::bench::Median;

int main() {
  using namespace unw;
  Trace trace(nullptr, "");
  Win32Languages languages(trace);
  const auto stored = languages.Catalogues();
  size_t bytes = 0;
  for (auto s : stored) bytes += s.size();
  std::vector<CarriedLanguage> carried;
  const double read = Median(21, [&] { carried = ReadCatalogues(stored, [](size_t) {}); });
  std::printf("catalogues: reading the pack (%zu bytes) into %zu languages at start-up: %.2f ms\n",
              bytes, carried.size(), read);
  // A window's worth of texts (the main window has about 60), looked up 1000 times.
  const char* ids[] = {"Start Timer", "Pause Timer",     "Stop Timer",
                       "&Options",    "E&xit",           "Close",
                       "Save",        "&Preferences...", "Time Remaining Before Break (HH:MM:SS)"};
  auto lookups = [&](const Texts& texts) {
    size_t total = 0;
    for (int k = 0; k < 1000; ++k)
      for (const char* id : ids) total += texts.T(id).size();
    return total;
  };
  volatile size_t sink = 0;
  const double english = Median(11, [&] { sink = sink + lookups(Texts()); });
  std::printf("catalogues: %zu texts looked up in English: %.2f ms\n", std::size(ids) * 1000,
              english);
  for (const auto& l : carried) {
    const Texts texts(l.tag, l.catalog);
    const double ms = Median(11, [&] { sink = sink + lookups(texts); });
    std::printf("catalogues: %zu texts looked up in %s: %.2f ms\n", std::size(ids) * 1000,
                l.tag.c_str(), ms);
  }
  return 0;
}
