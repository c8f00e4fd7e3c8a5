// Writes the program's icon file: every size of RenderProgramIcon as a 32-bit image with alpha,
// the sizes up to 32 px as bitmaps (what the title bars and the notification area load) and the
// larger ones as PNG (which Windows reads at any size since Vista, and at a sixth of a bitmap's
// bytes: 27 KB of the program). The build compiles
// this on the host and links its output into unwindle.exe, and the installer shows it.
//
// Usage: make_program_icon OUT.ico [PREVIEW_DIR]   (PREVIEW_DIR: each size as program-<N>.png)
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/icons/program_icon.h"
#include "tools/png/png_file.h"

namespace {

void Le16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Le32(std::vector<uint8_t>& out, uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

// An icon image as Windows stores it: a BITMAPINFOHEADER of twice the height (colour and mask),
// the colour rows bottom-up in BGRA, then the 1-bit mask rows (1 = transparent), each row padded
// to four bytes. Fully transparent pixels are black, so that a shell drawing without alpha (with
// the mask) leaves the background as it is.
std::vector<uint8_t> Dib(const unw::IconImage& img) {
  const int n = img.size;
  const int maskStride = ((n + 31) / 32) * 4;
  std::vector<uint8_t> out;
  Le32(out, 40);
  Le32(out, static_cast<uint32_t>(n));
  Le32(out, static_cast<uint32_t>(2 * n));
  Le16(out, 1);   // planes
  Le16(out, 32);  // bits per pixel
  Le32(out, 0);   // BI_RGB
  Le32(out, static_cast<uint32_t>(n * n * 4 + maskStride * n));
  for (int i = 0; i < 4; ++i) Le32(out, 0);  // resolution and palette: unused
  for (int y = n - 1; y >= 0; --y) {
    for (int x = 0; x < n; ++x) {
      const uint32_t p = img.pixels[static_cast<std::size_t>(y) * n + x];
      Le32(out, (p >> 24) == 0 ? 0 : p);  // 0xAARRGGBB little-endian is B, G, R, A
    }
  }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<std::size_t>(maskStride), 0);
    for (int x = 0; x < n; ++x) {
      if ((img.pixels[static_cast<std::size_t>(y) * n + x] >> 24) == 0)
        row[static_cast<std::size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s OUT.ico [PREVIEW_DIR]\n", argv[0]);
    return 2;
  }
  std::vector<std::vector<uint8_t>> images;
  for (int size : unw::kProgramIconSizes) {
    const unw::IconImage img = unw::RenderProgramIcon(size);
    if (img.size != size) {
      std::fprintf(stderr, "make_program_icon: no picture at %d px\n", size);
      return 1;
    }
    images.push_back(size >= 40 ? unw::png::Encode(size, size, img.pixels) : Dib(img));
    if (images.back().empty()) {
      std::fprintf(stderr, "make_program_icon: could not encode %d px\n", size);
      return 1;
    }
    if (argc == 3 &&
        !unw::png::Write(std::string(argv[2]) + "/program-" + std::to_string(size) + ".png", size,
                         size, img.pixels)) {
      std::fprintf(stderr, "make_program_icon: could not write a preview into %s\n", argv[2]);
      return 1;
    }
  }

  // ICONDIR, one ICONDIRENTRY per image (a width or height of 0 means 256), then the images.
  std::vector<uint8_t> ico;
  Le16(ico, 0);
  Le16(ico, 1);  // an icon, not a cursor
  Le16(ico, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = unw::kProgramIconSizes[i];
    ico.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
    ico.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
    ico.push_back(0);  // no palette
    ico.push_back(0);
    Le16(ico, 1);   // planes
    Le16(ico, 32);  // bits per pixel
    Le32(ico, static_cast<uint32_t>(images[i].size()));
    Le32(ico, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images) ico.insert(ico.end(), image.begin(), image.end());

  FILE* f = std::fopen(argv[1], "wb");
  const bool ok = f && std::fwrite(ico.data(), 1, ico.size(), f) == ico.size();
  if (f && std::fclose(f) != 0) return 1;
  if (!ok) {
    std::fprintf(stderr, "make_program_icon: could not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
