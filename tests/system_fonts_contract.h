// What every back end must tell of the system's window fonts: each font has a face and a size a
// window can be drawn with, and the sizes of a window's frame are those of a screen. Each back
// end's test instantiates this suite with a fixture that gives its SystemMetrics.
#pragma once

#include <gtest/gtest.h>

#include "platform/system_metrics.h"

namespace unw {

// A fixture provides: SystemMetrics& metrics().
template <typename Fixture>
class SystemFontsContract : public Fixture {};

TYPED_TEST_SUITE_P(SystemFontsContract);

TYPED_TEST_P(SystemFontsContract, EveryFontHasAFaceAndAReadableSize) {
  SystemFonts fonts;
  ASSERT_TRUE(this->metrics().ReadFonts(fonts));
  const struct {
    const char* name;
    const SystemFont& font;
  } named[] = {{"message", fonts.message},
               {"caption", fonts.caption},
               {"menu", fonts.menu},
               {"status", fonts.status}};
  for (const auto& [name, font] : named) {
    EXPECT_FALSE(font.face.empty()) << name;
    EXPECT_GE(font.points, 5.0f) << name;
    EXPECT_LE(font.points, 30.0f) << name;
    EXPECT_GE(font.weight, 100) << name;
    EXPECT_LE(font.weight, 900) << name;
  }
  EXPECT_GT(fonts.captionHeight, 0);
  EXPECT_LT(fonts.captionHeight, 100);
  EXPECT_GE(fonts.borderWidth, 0);
  EXPECT_LT(fonts.borderWidth, 50);
}

TYPED_TEST_P(SystemFontsContract, ReadTwiceTheFontsAreTheSame) {
  SystemFonts first, second;
  ASSERT_TRUE(this->metrics().ReadFonts(first));
  ASSERT_TRUE(this->metrics().ReadFonts(second));
  EXPECT_EQ(first.message.face, second.message.face);
  EXPECT_EQ(first.message.points, second.message.points);
  EXPECT_EQ(first.caption.weight, second.caption.weight);
  EXPECT_EQ(first.captionHeight, second.captionHeight);
}

REGISTER_TYPED_TEST_SUITE_P(SystemFontsContract, EveryFontHasAFaceAndAReadableSize,
                            ReadTwiceTheFontsAreTheSame);

}  // namespace unw
