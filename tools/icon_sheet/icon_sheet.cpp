// Renders every picture of every tray icon set and writes one contact sheet
// per set as PNG, so a person can look at them: docs/icons/<set-name>.png,
// plus all-sizes.png (idle and alert picture of each set at every tray size).
//
// Each cell of a set's sheet shows one picture: the 16 px picture scaled 4x
// (nearest neighbour) and the 48 px one on a grey checker, then the 32 px and
// 16 px ones at their real size on a dark and on a light taskbar, then the
// picture's index.
//
// Usage: icon_sheet <output directory>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/icons/tray_icon_art.h"
#include "tools/png/png_file.h"

namespace {

struct Image {
  int w, h;
  std::vector<uint32_t> px;  // 0xAARRGGBB, opaque
  Image(int width, int height, uint32_t fill) : w(width), h(height), px(width * height, fill) {}
  void Set(int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = c;
  }
  uint32_t Get(int x, int y) const { return px[y * w + x]; }
  void Box(int x, int y, int bw, int bh, uint32_t c) {
    for (int j = 0; j < bh; ++j)
      for (int i = 0; i < bw; ++i) Set(x + i, y + j, c);
  }
};

constexpr uint32_t kSheet = 0xFFFFFFFF, kDark = 0xFF1F1F1F, kLight = 0xFFEEEEEE;
constexpr uint32_t kCheckA = 0xFF9C9C9C, kCheckB = 0xFFB4B4B4, kText = 0xFF404040;

uint32_t Over(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  uint32_t out = 0xFF000000u;
  for (int s = 0; s < 24; s += 8) {
    const uint32_t cs = (src >> s) & 0xFF, cd = (dst >> s) & 0xFF;
    out |= ((cs * a + cd * (255 - a) + 127) / 255) << s;
  }
  return out;
}

void Checker(Image& img, int x, int y, int w, int h, int square) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      img.Set(x + i, y + j, ((i / square + j / square) % 2) ? kCheckA : kCheckB);
}

// Composites `icon` at (x, y), each pixel drawn as a `scale` x `scale` block.
void Paste(Image& img, const unw::IconImage& icon, int x, int y, int scale) {
  for (int j = 0; j < icon.size * scale; ++j)
    for (int i = 0; i < icon.size * scale; ++i) {
      const uint32_t src = icon.pixels[(j / scale) * icon.size + i / scale];
      img.Set(x + i, y + j, Over(src, img.Get(x + i, y + j)));
    }
}

// Digits in a 3 x 5 font, one row of three bits per entry.
constexpr std::array<std::array<uint8_t, 5>, 10> kDigits = {{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 3, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 2, 2},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};

void Number(Image& img, int n, int x, int y, int scale) {
  const std::string s = std::to_string(n);
  for (char ch : s) {
    const auto& g = kDigits[ch - '0'];
    for (int r = 0; r < 5; ++r)
      for (int c = 0; c < 3; ++c)
        if (g[r] & (4 >> c)) img.Box(x + c * scale, y + r * scale, scale, scale, kText);
    x += 4 * scale;
  }
}

bool WritePng(const Image& img, const std::string& path) {
  return unw::png::Write(path, img.w, img.h, img.px);
}

// ---- Sheets ----
struct Set {
  const char* file;
  int pictures;
};
constexpr Set kSets[5] = {{"classic-clock", 9},
                          {"computer-modem", 49},
                          {"phases-of-the-moon", 9},
                          {"rainwater-tank", 16},
                          {"traffic-lights", 4}};

constexpr int kCellW = 136, kCellH = 132, kPad = 8;

void DrawCell(Image& img, int set, int element, int x, int y) {
  // 16 px scaled 4x, and 48 px, on the checker.
  Checker(img, x, y, 64, 64, 8);
  Paste(img, unw::RenderTrayIcon(set, element, 16), x, y, 4);
  Checker(img, x + 68, y, 56, 64, 8);
  Paste(img, unw::RenderTrayIcon(set, element, 48), x + 72, y + 8, 1);
  // 32 px and 16 px at real size on a dark and a light taskbar.
  const int ty = y + 68;
  img.Box(x, ty, 62, 40, kDark);
  img.Box(x + 62, ty, 62, 40, kLight);
  for (int k = 0; k < 2; ++k) {
    const int bx = x + 62 * k;
    Paste(img, unw::RenderTrayIcon(set, element, 32), bx + 4, ty + 4, 1);
    Paste(img, unw::RenderTrayIcon(set, element, 16), bx + 42, ty + 12, 1);
  }
  Number(img, element, x, ty + 44, 2);
}

bool SetSheet(int set, const std::string& dir) {
  const int n = kSets[set].pictures;
  const int cols = n > 9 ? 8 : n;
  const int rows = (n + cols - 1) / cols;
  Image img(cols * kCellW + kPad, rows * kCellH + kPad, kSheet);
  for (int e = 0; e < n; ++e)
    DrawCell(img, set, e, kPad + (e % cols) * kCellW, kPad + (e / cols) * kCellH);
  return WritePng(img, dir + "/" + kSets[set].file + ".png");
}

// Idle (0) and alert (last) picture of each set at every tray size, on the
// checker, a dark and a light taskbar.
bool SizesSheet(const std::string& dir) {
  constexpr int kSizes[] = {16, 20, 24, 32, 40, 48, 64};
  const uint32_t kBacks[3] = {0, kDark, kLight};
  int rowW = 0;
  for (int s : kSizes) rowW += s + 6;
  Image img(kPad + 3 * (2 * rowW + 16), kPad + 5 * (64 + 12), kSheet);
  for (int set = 0; set < 5; ++set) {
    const int y = kPad + set * 76;
    int x = kPad;
    for (int back = 0; back < 3; ++back) {
      for (int element : {0, kSets[set].pictures - 1}) {
        for (int s : kSizes) {
          if (back == 0)
            Checker(img, x - 2, y - 2, s + 4, 68, 4);
          else
            img.Box(x - 2, y - 2, s + 4, 68, kBacks[back]);
          Paste(img, unw::RenderTrayIcon(set, element, s), x, y, 1);
          x += s + 6;
        }
      }
      x += 16;
    }
  }
  return WritePng(img, dir + "/all-sizes.png");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = SizesSheet(dir);
  for (int set = 0; set < 5; ++set) ok = SetSheet(set, dir) && ok;
  if (!ok) std::fprintf(stderr, "icon_sheet: could not write the sheets into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
