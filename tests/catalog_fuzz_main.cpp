// unwindle_catalog_fuzz [CASES] [SEED]: reads that many spoilt catalogues (default a million) and
// prints the first that breaks a rule, or how many held.
#include <cstdio>
#include <cstdlib>

#include "catalog_fuzz.h"

int main(int argc, char** argv) {
  const long cases = argc > 1 ? std::atol(argv[1]) : 1000000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;
  std::mt19937 rng(seed);
  for (long i = 0; i < cases; ++i) {
    const std::string wrong = unw::FuzzCatalogOnce(rng);
    if (!wrong.empty()) {
      std::printf("case %ld of seed %u:%s\n", i, seed, wrong.c_str());
      return 1;
    }
  }
  std::printf("%ld spoilt catalogues read, every rule held (seed %u)\n", cases, seed);
  return 0;
}
