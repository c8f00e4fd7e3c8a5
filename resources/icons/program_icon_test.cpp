// The program icon: a round clock at every size of the icon group, the same picture as the tray
// clock where icons are small, and drawn afresh (not magnified) where they are large.
#include <gtest/gtest.h>

#include "resources/icons/program_icon.h"
#include "resources/icons/tray_icon_art.h"

namespace unw {
namespace {

uint32_t Alpha(uint32_t p) {
  return p >> 24;
}

// Width of the dark outline where the middle row enters the picture from the left.
int OutlineWidth(const IconImage& img) {
  const int row = img.size / 2;
  int x = 0;
  while (x < img.size && Alpha(img.pixels[row * img.size + x]) < 128) ++x;
  int width = 0;
  for (; x < img.size; ++x, ++width) {
    const uint32_t p = img.pixels[row * img.size + x];
    const bool dark = ((p >> 16) & 0xFF) < 64 && ((p >> 8) & 0xFF) < 64 && (p & 0xFF) < 64;
    if (!dark) break;
  }
  return width;
}

TEST(ProgramIcon, EverySizeOfTheGroupIsARoundOpaqueClock) {
  for (int size : kProgramIconSizes) {
    SCOPED_TRACE(size);
    const IconImage img = RenderProgramIcon(size);
    ASSERT_EQ(img.size, size);
    const int last = size - 1;
    for (int corner : {0, last, last * size, last * size + last}) EXPECT_EQ(img.pixels[corner], 0u);
    EXPECT_EQ(Alpha(img.pixels[(size / 2) * size + size / 2]), 255u);
    double covered = 0;
    for (uint32_t p : img.pixels) {
      covered += Alpha(p) / 255.0;
      EXPECT_TRUE(Alpha(p) != 0 || p == 0) << "colour under a transparent pixel";
    }
    // A disc covers pi/4 of its square.
    EXPECT_NEAR(covered / (size * size), 0.785, 0.03);
  }
}

TEST(ProgramIcon, SmallSizesShowTheTrayClockSoTheCaptionAndTheTrayAgree) {
  for (int size : {16, 20, 24, 32, 40})
    EXPECT_EQ(RenderProgramIcon(size).pixels, RenderTrayIcon(0, 0, size).pixels) << size;
}

TEST(ProgramIcon, LargeSizesKeepAThinOutlineRatherThanAMagnifiedOne) {
  const int small = OutlineWidth(RenderProgramIcon(16));
  ASSERT_GE(small, 1);
  for (int size : {48, 64, 256}) {
    const int width = OutlineWidth(RenderProgramIcon(size));
    EXPECT_GE(width, 1) << size;
    EXPECT_LT(width, small * size / 16) << size;
  }
}

TEST(ProgramIcon, SizesOutsideTheGroupsRangeGiveNothing) {
  for (int size : {0, 15, 257, -16}) EXPECT_EQ(RenderProgramIcon(size).size, 0) << size;
}

}  // namespace
}  // namespace unw
