// Files carried inside the program (cmake/embed_files.cmake writes the tables), as the Windows
// build carries them as resources.
#pragma once

#include <string_view>
#include <vector>

namespace unw::linux_sys {

struct Embedded {
  std::string_view name;
  std::string_view bytes;
};

// The built-in clips by their resource names (CHIMES, SHORTSTART, ...).
extern const std::vector<Embedded> kClips;
// The compiled message catalogues (.mo) by their languages.
extern const std::vector<Embedded> kCatalogues;

}  // namespace unw::linux_sys
