#include "settings/number_text.h"

#include <gtest/gtest.h>

#include "platform/decimal.h"

namespace unw {
namespace {

TEST(ReadDigits, DigitsAloneUpToTheMostAndNoOverflow) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  struct Case {
    const char* text;
    int64_t most;
    std::optional<int64_t> want;
  } cases[] = {
      {"0", kMax, 0},
      {"0042", kMax, 42},
      {"9223372036854775807", kMax, kMax},
      {"9223372036854775808", kMax, std::nullopt},  // one past the largest
      {"99999999999999999999999", kMax, std::nullopt},
      {"00000000000000000000000000007", kMax, 7},  // zeros in front cost nothing
      {"59", 59, 59},
      {"60", 59, std::nullopt},
      {"0", 0, 0},
      {"5", 0, std::nullopt},
      {"", kMax, std::nullopt},
      {"-1", kMax, std::nullopt},
      {"+1", kMax, std::nullopt},
      {" 1", kMax, std::nullopt},
      {"1 ", kMax, std::nullopt},
      {"1.0", kMax, std::nullopt},
      {"1a", kMax, std::nullopt},
      {"\xd9\xa1", kMax, std::nullopt},  // ARABIC-INDIC DIGIT ONE is no digit here
  };
  for (const Case& c : cases) EXPECT_EQ(ReadDigits(c.text, c.most), c.want) << c.text;
  EXPECT_EQ(ReadDigits(std::string_view("12\0", 3)), std::nullopt);
}

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
