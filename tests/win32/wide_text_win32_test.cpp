// The conversions at the edge between the program's UTF-8 and the system's
// UTF-16, and the fixed fields of the system's records.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace unw::win32 {
namespace {

TEST(WideTextTest, ConvertsEveryCharacterBothWays) {
  const struct {
    std::string utf8;
    std::wstring utf16;
  } cases[] = {
      {"", L""},
      {"Übung\\ベル.wav", L"Übung\\ベル.wav"},
      {"\xF0\x9F\x94\x94 bell", L"\xD83D\xDD14 bell"},  // outside the BMP: a surrogate pair
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Wide(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf8(c.utf16), c.utf8) << c.utf8;
  }
  // What cannot be converted becomes the replacement character, never nothing.
  EXPECT_EQ(Wide("a\xC3"), L"a\xFFFD");
  EXPECT_EQ(Utf8(L"a\xD800"), "a\xEF\xBF\xBD");
}

TEST(WideTextTest, FixedFieldsHoldWholeCharactersAndEndWithANul) {
  const struct {
    std::string text;
    size_t size;
    std::wstring field;
  } cases[] = {
      {"Übung", 8, std::wstring(L"Übung\0\0\0", 8)},
      {"abcdefgh", 4, std::wstring(L"abc\0", 4)},
      // The pair would leave no room for the NUL: it goes whole.
      {"ab\xF0\x9F\x94\x94", 4, std::wstring(L"ab\0\0", 4)},
      {"ab\xF0\x9F\x94\x94", 5, std::wstring(L"ab\xD83D\xDD14\0", 5)},
      // A byte field of the core cut the last character: its start is dropped.
      {std::string("ab\xE3\x83", 4), 8, std::wstring(L"ab\0\0\0\0\0\0", 8)},
      {std::string("ab\0cd", 5), 4, std::wstring(L"ab\0\0", 4)},
  };
  for (const auto& c : cases) {
    std::wstring field(c.size, L'x');
    CopyToField(c.text, field.data(), field.size());
    EXPECT_EQ(field, c.field) << c.text;
  }

  char bytes[8];
  CopyToField(L"ベルベル", bytes, sizeof bytes);  // 12 bytes of UTF-8: two characters fit
  EXPECT_EQ(std::string(bytes, sizeof bytes), std::string("ベル\0\0", 8));

  const wchar_t ended[] = {L'a', L'b', 0, L'c'};
  const wchar_t full[] = {L'ü', L'b'};
  EXPECT_EQ(FieldText(ended, 4), "ab");
  EXPECT_EQ(FieldText(full, 2), "üb");
}

}  // namespace
}  // namespace unw::win32
