// The tray icon pictures: every picture of every set draws something that
// reads on any taskbar, the animations move, the alerts stand out, and the
// renderer is deterministic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "resources/icons/icon_sets.h"
#include "resources/icons/tray_icon_art.h"

namespace unw {
namespace {

constexpr int kPictures[5] = {9, 49, 9, 16, 4};
constexpr int kTraySizes[] = {16, 20, 24, 32, 40, 48, 64};

uint32_t Alpha(uint32_t p) {
  return p >> 24;
}
int Channel(uint32_t p, int shift) {
  return static_cast<int>((p >> shift) & 0xFF);
}

// Share of the pixels that differ clearly (by more than 48 in some channel).
double ChangedShare(const IconImage& a, const IconImage& b) {
  int changed = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      if (std::abs(Channel(a.pixels[i], shift) - Channel(b.pixels[i], shift)) > 48) {
        ++changed;
        break;
      }
    }
  }
  return static_cast<double>(changed) / a.pixels.size();
}

int CountPixels(const IconImage& img, bool (*pred)(uint32_t)) {
  return static_cast<int>(std::count_if(img.pixels.begin(), img.pixels.end(), pred));
}

bool IsBright(uint32_t p) {
  return Alpha(p) == 255 && Channel(p, 16) > 180 && Channel(p, 8) > 180 && Channel(p, 0) > 140;
}

TEST(TrayIconArt, EveryPictureIsDrawnSteadilyWithTransparentCornersAtEverySize) {
  for (int set = 0; set < 5; ++set) {
    for (int element = 0; element < kPictures[set]; ++element) {
      // Each picture at the tray sizes; the idle and alert pictures at every size up to 64.
      const bool everySize = element == 0 || element == kPictures[set] - 1;
      for (int size = 16; size <= 64; ++size) {
        if (!everySize &&
            std::find(std::begin(kTraySizes), std::end(kTraySizes), size) == std::end(kTraySizes))
          continue;
        SCOPED_TRACE(testing::Message()
                     << "set " << set << " picture " << element << " at " << size);
        const IconImage img = RenderTrayIcon(set, element, size);
        ASSERT_EQ(img.size, size);
        EXPECT_GE(CountPixels(img, [](uint32_t p) { return Alpha(p) == 255; }), size * size / 5)
            << "too little drawn to read in the tray";
        const int last = size - 1;
        for (int corner : {0, last, last * size, last * size + last})
          EXPECT_EQ(img.pixels[corner], 0u) << "corner " << corner << " not transparent";
        // A fully transparent pixel carries no colour (straight alpha, clean background).
        EXPECT_EQ(0, CountPixels(img, [](uint32_t p) { return Alpha(p) == 0 && p != 0; }));
        if (size == 16) {
          EXPECT_EQ(img.pixels, RenderTrayIcon(set, element, size).pixels) << "not the same twice";
        }
      }
    }
  }
  const int bad[][3] = {{-1, 0, 16}, {5, 0, 16}, {0, -1, 16}, {0, 9, 16}, {1, 49, 16},
                        {3, 16, 16}, {4, 4, 16}, {0, 0, 15},  {0, 0, 65}, {4, 0, 1000}};
  for (const auto& b : bad) EXPECT_TRUE(RenderTrayIcon(b[0], b[1], b[2]).pixels.empty());
}

// WCAG relative luminance of an sRGB colour (0xRRGGBB), worked out here rather
// than taken from the drawing code.
double Luminance(int r, int g, int b) {
  auto lin = [](int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}
double ContrastRatio(double l1, double l2) {
  return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
}

// Which pixels of the picture, laid over the taskbar colour `bg` (0xRRGGBB),
// contrast at least 3:1 with the taskbar.
std::vector<char> Contrasting(const IconImage& img, uint32_t bg) {
  const int br = Channel(bg, 16), bgG = Channel(bg, 8), bb = Channel(bg, 0);
  const double bgLum = Luminance(br, bgG, bb);
  std::vector<char> contrasts(img.pixels.size());
  for (std::size_t i = 0; i < img.pixels.size(); ++i) {
    const uint32_t p = img.pixels[i];
    const double a = Alpha(p) / 255.0;
    auto over = [&](int shift, int under) {
      return static_cast<int>(std::lround(Channel(p, shift) * a + under * (1 - a)));
    };
    contrasts[i] = ContrastRatio(Luminance(over(16, br), over(8, bgG), over(0, bb)), bgLum) >= 3.0;
  }
  return contrasts;
}

// Share of the picture's rim whose shape stands out from the taskbar `bg`.
// The picture is laid over the taskbar; its rim is every opaque pixel (at
// least half covered, so soft glows and smoothed fringes are not the shape)
// that touches the outside. A rim pixel counts as seen when a pixel within
// `reach` of it contrasts at least 3:1 with the taskbar: a dark outline with a
// light ring just inside it reads on both kinds of taskbar, while a picture
// whose edge melts into the taskbar (a dark disc on a dark taskbar) has next to
// none. The rim rather than all pixels: a picture can be mostly a bright fill
// and still lose its silhouette, and its silhouette is what finds it in the tray.
double SeenRimShare(const IconImage& img, uint32_t bg, int reach) {
  const int n = img.size;
  const std::vector<char> contrasts = Contrasting(img, bg);
  std::vector<char> opaque(img.pixels.size());
  for (std::size_t i = 0; i < img.pixels.size(); ++i) opaque[i] = Alpha(img.pixels[i]) >= 128;
  auto isOpaque = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < n && y < n && opaque[static_cast<std::size_t>(y * n + x)];
  };
  int rim = 0, seen = 0;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      if (!isOpaque(x, y)) continue;
      if (isOpaque(x - 1, y) && isOpaque(x + 1, y) && isOpaque(x, y - 1) && isOpaque(x, y + 1))
        continue;
      ++rim;
      bool found = false;
      for (int dy = -reach; dy <= reach && !found; ++dy)
        for (int dx = -reach; dx <= reach && !found; ++dx) {
          const int qx = x + dx, qy = y + dy;
          found = qx >= 0 && qy >= 0 && qx < n && qy < n &&
                  contrasts[static_cast<std::size_t>(qy * n + qx)];
        }
      seen += found;
    }
  }
  return rim ? static_cast<double>(seen) / rim : 0.0;
}

// The light and the dark taskbar of Windows 11.
constexpr uint32_t kTaskbars[] = {0xF3F3F3, 0x202020};

TEST(TrayIconArt, EveryPictureKeepsItsOutlineOnLightAndDarkTaskbars) {
  for (int set = 0; set < 5; ++set) {
    for (int element = 0; element < kPictures[set]; ++element) {
      for (int size : kTraySizes) {
        // Two pixels at 16 px (a one-pixel outline and what lies inside it), more when larger.
        const int reach = 1 + std::max(1, size / 16);
        const IconImage img = RenderTrayIcon(set, element, size);
        for (uint32_t bg : kTaskbars) {
          EXPECT_GE(SeenRimShare(img, bg, reach), 0.9)
              << "set " << set << " picture " << element << " at " << size << " on #" << std::hex
              << bg << std::dec;
        }
      }
    }
  }
}

// Pixels in the outer fifth of the width on either side that contrast with the taskbar.
int ContrastingBesideTheMiddle(const IconImage& img, uint32_t bg) {
  const std::vector<char> contrasts = Contrasting(img, bg);
  int count = 0;
  for (int y = 0; y < img.size; ++y)
    for (int x = 0; x < img.size; ++x)
      if ((x < img.size / 5 || x >= img.size - img.size / 5) && contrasts[y * img.size + x])
        ++count;
  return count;
}

TEST(TrayIconArt, TheTrafficLightsAlertShinesBesideTheHousingOnEveryTaskbar) {
  // The running picture is the same green lamp: the alert tells itself apart by
  // what it draws beside the housing, which must show on both taskbars.
  for (int size : kTraySizes) {
    for (uint32_t bg : kTaskbars) {
      EXPECT_EQ(ContrastingBesideTheMiddle(RenderTrayIcon(4, 1, size), bg), 0) << size;
      EXPECT_GE(ContrastingBesideTheMiddle(RenderTrayIcon(4, 3, size), bg), size / 3)
          << "alert at " << size << " on #" << std::hex << bg;
    }
  }
}

// Pictures first..last of `set` at `size` all differ from one another.
void ExpectAllDifferent(int set, int first, int last, int size) {
  std::set<std::vector<uint32_t>> seen;
  for (int e = first; e <= last; ++e) seen.insert(RenderTrayIcon(set, e, size).pixels);
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(last - first + 1))
      << "set " << set << " pictures " << first << "-" << last << " at " << size;
}

TEST(TrayIconArt, AnimationPicturesDifferFromOneAnother) {
  for (int size : kTraySizes) {
    ExpectAllDifferent(0, 0, 7, size);   // the clock's hand positions
    ExpectAllDifferent(2, 0, 8, size);   // the moon's phases and its alert
    ExpectAllDifferent(3, 0, 15, size);  // the tank's levels
    ExpectAllDifferent(4, 0, 3, size);   // the traffic lights
    // The modem's lights change with every second of its 48.
    for (int e = 0; e < 48; ++e)
      EXPECT_NE(RenderTrayIcon(1, e, size).pixels, RenderTrayIcon(1, (e + 1) % 48, size).pixels)
          << "modem pictures " << e << " at " << size;
  }
}

TEST(TrayIconArt, TheAlertPictureStandsOutFromTheIdlePicture) {
  for (int set = 0; set < 5; ++set) {
    for (int size : kTraySizes) {
      const IconImage idle = RenderTrayIcon(set, 0, size);
      const IconImage alert = RenderTrayIcon(set, kPictures[set] - 1, size);
      EXPECT_GE(ChangedShare(idle, alert), 0.2) << "set " << set << " at " << size;
    }
  }
}

bool IsWater(uint32_t p) {
  return p == art::kTankWater;
}

// How blue the tank's part of the picture is: the sum of blue over red of the
// opaque pixels below the roof (the rain falls above it).
long Blueness(const IconImage& img) {
  long sum = 0;
  for (int i = img.size * img.size * 2 / 5; i < img.size * img.size; ++i) {
    const uint32_t p = img.pixels[i];
    if (Alpha(p) == 255) sum += Channel(p, 0) - Channel(p, 16);
  }
  return sum;
}

TEST(TrayIconArt, TheTankFillsStepByStep) {
  for (int size : kTraySizes) {
    std::vector<int> water;
    std::vector<long> blue;
    for (int e = 0; e < 16; ++e) {
      const IconImage img = RenderTrayIcon(3, e, size);
      water.push_back(CountPixels(img, IsWater));
      blue.push_back(Blueness(img));
    }
    EXPECT_EQ(water[0], 0) << "the empty tank holds water at " << size;
    EXPECT_GE(water[15], size * size / 10) << "the full tank holds little water at " << size;
    for (int e = 1; e < 16; ++e) {
      EXPECT_GE(water[e], water[e - 1]) << "level " << e << " at " << size;
      EXPECT_GT(blue[e], blue[e - 1]) << "level " << e << " at " << size;
    }
  }
}

TEST(TrayIconArt, TheMoonWaxesOnTheRightAndWanesOnTheLeft) {
  for (int size : {16, 32, 48}) {
    std::vector<int> lit, right;
    for (int e = 0; e <= 8; ++e) {
      const IconImage img = RenderTrayIcon(2, e, size);
      int all = 0, onRight = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
          if (IsBright(img.pixels[y * size + x])) ++all, onRight += x >= size / 2;
      lit.push_back(all);
      right.push_back(onRight);
    }
    EXPECT_EQ(lit[0], 0) << size;
    for (int e = 1; e <= 4; ++e) EXPECT_GT(lit[e], lit[e - 1]) << "waxing " << e << " at " << size;
    for (int e = 5; e <= 7; ++e) EXPECT_LT(lit[e], lit[e - 1]) << "waning " << e << " at " << size;
    EXPECT_GE(lit[8], lit[4]) << "the alert moon is full, at " << size;
    for (int e : {1, 2, 3}) EXPECT_GT(2 * right[e], lit[e]) << "waxing " << e << " at " << size;
    for (int e : {5, 6, 7}) EXPECT_LT(2 * right[e], lit[e]) << "waning " << e << " at " << size;
  }
}

// Mean height (0 top, 1 bottom) of the vivid pixels of the given hue.
double LampHeight(const IconImage& img, bool (*hue)(uint32_t)) {
  double sum = 0;
  int n = 0;
  for (int y = 0; y < img.size; ++y)
    for (int x = 0; x < img.size; ++x)
      if (hue(img.pixels[y * img.size + x])) sum += (y + 0.5) / img.size, ++n;
  return n ? sum / n : -1;
}
bool IsRed(uint32_t p) {
  return Alpha(p) == 255 && Channel(p, 16) > 200 && Channel(p, 8) < 100;
}
bool IsAmber(uint32_t p) {
  return Alpha(p) == 255 && Channel(p, 16) > 200 && Channel(p, 8) > 140 && Channel(p, 0) < 80;
}
bool IsGreen(uint32_t p) {
  return Alpha(p) == 255 && Channel(p, 8) > 160 && Channel(p, 16) < 140 && Channel(p, 0) < 160;
}

TEST(TrayIconArt, TrafficLightsLightTheRightLamp) {
  for (int size : kTraySizes) {
    const double red = LampHeight(RenderTrayIcon(4, 0, size), IsRed);
    const double amber = LampHeight(RenderTrayIcon(4, 2, size), IsAmber);
    EXPECT_TRUE(red > 0 && red < 1 / 3.0) << "red lamp at " << red << ", size " << size;
    EXPECT_TRUE(amber > 1 / 3.0 && amber < 2 / 3.0) << "amber at " << amber << ", size " << size;
    for (int e : {1, 3}) {
      const double green = LampHeight(RenderTrayIcon(4, e, size), IsGreen);
      EXPECT_GT(green, 2 / 3.0) << "green lamp of picture " << e << ", size " << size;
    }
    // No red lit while green shows.
    EXPECT_EQ(LampHeight(RenderTrayIcon(4, 1, size), IsRed), -1) << size;
  }
}

}  // namespace
}  // namespace unw
