#include "tools/png/png_file.h"

#include <zlib.h>

#include <cstdio>

namespace unw::png {
namespace {

void Be32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  Be32(out, static_cast<uint32_t>(body.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  Be32(out,
       static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

}  // namespace

std::vector<uint8_t> Encode(int width, int height, const std::vector<uint32_t>& argb) {
  // Each row: filter 1 (the difference to the pixel on the left), which turns the flat areas of
  // drawn pictures into runs of zeros that deflate well.
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + static_cast<std::size_t>(width) * 4));
  for (int y = 0; y < height; ++y) {
    raw.push_back(1);
    uint8_t left[4] = {0, 0, 0, 0};
    for (int x = 0; x < width; ++x) {
      const uint32_t c = argb[static_cast<std::size_t>(y) * width + x];
      const uint8_t px[4] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                             static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 24)};
      for (int k = 0; k < 4; ++k) {
        raw.push_back(static_cast<uint8_t>(px[k] - left[k]));
        left[k] = px[k];
      }
    }
  }
  uLongf zsize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> z(zsize);
  if (compress2(z.data(), &zsize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return {};
  z.resize(zsize);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  Be32(ihdr, static_cast<uint32_t>(width));
  Be32(ihdr, static_cast<uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
  Chunk(out, "IHDR", ihdr);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

bool Write(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
  const std::vector<uint8_t> data = Encode(width, height, argb);
  if (data.empty()) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace unw::png
