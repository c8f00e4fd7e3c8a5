#include "settings/number_text.h"

#include <gtest/gtest.h>

namespace unw {
namespace {

TEST(TextToInt16, AcceptsDecimalTextWithBlanksSignAndFraction) {
  struct Case {
    const char* text;
    int16_t want;
  } cases[] = {
      {"10", 10},  {" 12 ", 12},     {"\t7", 7},         {"+7", 7},          {"-1", -1},
      {"0005", 5}, {"2.5", 2},       {"3.5", 4},         {"-2.5", -2},       {"-3.5", -4},
      {"0.5", 0},  {"1.5", 2},       {"2.51", 3},        {"2.4999", 2},      {"1.", 1},
      {".6", 1},   {"32767", 32767}, {"-32768", -32768}, {"32766.5", 32766}, {"99", 99},
  };
  for (const auto& c : cases) {
    int16_t v = 1234;
    EXPECT_TRUE(TextToInt16(c.text, v)) << c.text;
    EXPECT_EQ(v, c.want) << c.text;
  }
}

TEST(TextToInt16, RejectsEverythingElseAndLeavesTheTargetAlone) {
  for (const char* text : {"", " ", "1a", "a", "1 2", ".", "-", "+", "- 5", "32768", "-32769",
                           "32767.5", "99999999999999999999", "1e3", "0x10", "1,5", "5%"}) {
    int16_t v = 1234;
    EXPECT_FALSE(TextToInt16(text, v)) << text;
    EXPECT_EQ(v, 1234) << text;
  }
}

TEST(TwoDigit, PadsToAtLeastTwoDigits) {
  EXPECT_EQ(TwoDigit(5), "05");
  EXPECT_EQ(TwoDigit(0), "00");
  EXPECT_EQ(TwoDigit(59), "59");
  EXPECT_EQ(TwoDigit(123), "123");
}

}  // namespace
}  // namespace unw
