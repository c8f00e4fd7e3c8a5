// Text at the edge between the program's UTF-8 and the system's UTF-16: the fixed fields of the
// system's records, and what cannot be converted. (The registry's texts:
// settings_storage_win32_test.)
#include "backends/win32/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace unw {
namespace {

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
    win32::CopyToField(c.text, field.data(), field.size());
    EXPECT_EQ(field, c.field) << c.text;
  }
  EXPECT_EQ(win32::FieldText(L"üb", 2), "üb") << "a full field has no NUL";
}

// What cannot be converted becomes the replacement character, never nothing.
TEST(WideTextTest, WhatCannotBeConvertedBecomesTheReplacementCharacter) {
  EXPECT_EQ(win32::Wide("a\xC3"), L"a\xFFFD");
  EXPECT_EQ(win32::Utf8(L"a\xD800"), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace unw
