// unwindle_settings_fuzz [CASES] [SEED]: loads that many random stores (default a million) and
// prints the first case that breaks a rule, or how many held.
#include <cstdio>
#include <cstdlib>

#include "settings_fuzz.h"

int main(int argc, char** argv) {
  const long cases = argc > 1 ? std::atol(argv[1]) : 1000000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;
  std::mt19937 rng(seed);
  for (long i = 0; i < cases; ++i) {
    const std::string wrong = unw::FuzzSettingsOnce(rng);
    if (!wrong.empty()) {
      std::printf("case %ld of seed %u:%s\n", i, seed, wrong.c_str());
      return 1;
    }
  }
  std::printf("%ld random stores loaded, every rule held (seed %u)\n", cases, seed);
  return 0;
}
