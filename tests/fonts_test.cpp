// The system message font and where windows take it.
#include <gtest/gtest.h>

#include "app/fonts.h"
#include "program_fixture.h"

namespace unw {
namespace {

TEST(Fonts, TheSystemsFontsBecomeTheFormsFonts) {
  FakeSystemMetrics metrics;
  metrics.fonts.message.face = "Segoe UI";
  metrics.fonts.message.points = 9;
  metrics.fonts.message.italic = true;
  cSystemFonts m(metrics);
  auto f = m.SystemFont();
  ASSERT_TRUE(f);
  EXPECT_EQ(f->name, "Segoe UI");
  EXPECT_FLOAT_EQ(f->size, 9.0f);
  EXPECT_TRUE(f->italic);
  EXPECT_FALSE(f->bold);
  EXPECT_TRUE(m.CaptionFont()->bold) << "a weight of 700 is bold";
  EXPECT_EQ(m.CaptionHeight(), 18);
  // Read again, the metrics follow a change the user made meanwhile.
  metrics.fonts.message.face = "Tahoma";
  m.Refresh();
  EXPECT_EQ(m.SystemFont()->name, "Tahoma");
}

TEST(Fonts, UnreadableMetricsGiveNoFontAndZeroSizes) {
  FakeSystemMetrics metrics;
  metrics.fail = true;
  cSystemFonts m(metrics);
  EXPECT_FALSE(m.SystemFont());
  EXPECT_FALSE(m.MenuFont());
  EXPECT_EQ(m.BorderWidth(), 0);
  EXPECT_EQ(m.CaptionHeight(), 0);
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
