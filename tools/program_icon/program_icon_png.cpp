// Writes the program icon at one size as a PNG, for the icon themes of the Linux desktops (the
// Debian package puts one in hicolor's folder of each size).
//
// Usage: program_icon_png SIZE OUT.png     (SIZE from 16 to 256)
#include <cstdio>
#include <cstdlib>

#include "resources/icons/program_icon.h"
#include "tools/png/png_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SIZE OUT.png\n", argv[0]);
    return 2;
  }
  const int size = std::atoi(argv[1]);
  const unw::IconImage img = unw::RenderProgramIcon(size);
  if (img.size != size || size == 0) {
    std::fprintf(stderr, "program_icon_png: no picture at %s px\n", argv[1]);
    return 1;
  }
  if (!unw::png::Write(argv[2], size, size, img.pixels)) {
    std::fprintf(stderr, "program_icon_png: could not write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
