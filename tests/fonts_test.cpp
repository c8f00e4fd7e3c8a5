// The system message font and where windows take it.
#include <gtest/gtest.h>

#include <cstring>

#include "app/fonts.h"
#include "program_fixture.h"

namespace unw {
namespace {

TEST(Fonts, AMessageFontOfMinusElevenAtNinetySixDpiIsEightPointTwentyFive) {
  Trace trace{nullptr, ""};
  FakeSystemMetrics metrics;
  cNonClientMetrics m(metrics);
  auto f = m.SystemFont();
  ASSERT_TRUE(f);
  EXPECT_EQ(f->name, "Tahoma");
  EXPECT_FLOAT_EQ(f->size, 8.25f);
  EXPECT_FALSE(f->bold);
  EXPECT_TRUE(m.CaptionFont()->bold);
  EXPECT_EQ(m.CaptionHeight(), 18);
  metrics.dpi = 120;
  EXPECT_FLOAT_EQ(m.SystemFont()->size, 6.6f);
}

TEST(Fonts, UnreadableMetricsGiveNoFontAndZeroSizes) {
  FakeSystemMetrics metrics;
  metrics.fail = true;
  cNonClientMetrics m(metrics);
  EXPECT_FALSE(m.SystemFont());
  EXPECT_EQ(m.BorderWidth(), 0);
}

TEST(Fonts, FaceNamesEndAtTheirNulOrAreTrimmed) {
  std::array<char, 32> buf{};
  EXPECT_EQ(FaceNameFromBuffer(buf), "");
  std::strcpy(buf.data(), "Segoe UI");
  EXPECT_EQ(FaceNameFromBuffer(buf), "Segoe UI");
  buf.fill(' ');
  std::memcpy(buf.data() + 2, "Arial", 5);
  EXPECT_EQ(FaceNameFromBuffer(buf), "Arial");
}

using MainWindowFonts = ProgramTest;

TEST_F(MainWindowFonts, TheTimeKeepsItsDesignFontEverythingElseTakesTheSystemFont) {
  Start();
  EXPECT_EQ(main().font().name, "Tahoma");
  EXPECT_EQ(main().Ctl("lblHours").font().name, "Comic Sans MS");
  EXPECT_TRUE(main().Ctl("lblHours").font().bold);
  EXPECT_EQ(main().Ctl("txtMinutes").font().name, "Comic Sans MS");
  EXPECT_EQ(main().Ctl("cmdStart").font().name, "Tahoma");
  EXPECT_EQ(main().Ctl("fraTimeRemaining").font().name, "Tahoma");
  EXPECT_FLOAT_EQ(main().Ctl("fraTimeRemaining").font().size, 8.25f);
}

}  // namespace
}  // namespace unw
