// The user's own break ideas: what an idea may be, and their stored list.
#include "settings/idea_list.h"

#include <gtest/gtest.h>

namespace unw {
namespace {

using Ideas = std::vector<std::string>;

TEST(IdeaList, AStoredTextReadsAsItsIdeasOrNotAtAll) {
  const std::string longest(200, 'i');
  const std::string wideLongest = std::string(199, 'i') + "\xc3\xbc";  // 200 characters, 201 bytes
  std::string most, tooMany;
  for (int i = 0; i < 200; ++i) most += (i ? "\n" : "") + std::to_string(i);
  tooMany = most + "\nagain";
  const struct {
    std::string stored;
    std::optional<Ideas> ideas;  // none: unreadable
  } cases[] = {
      {"", Ideas{}},
      {" ", Ideas{}},  // the store's blank
      {"Look up.", Ideas{"Look up."}},
      {"Look up.\nStand up.", Ideas{"Look up.", "Stand up."}},
      {"Two\\nlines", Ideas{"Two\nlines"}},
      {"C:\\\\temp\\\\n", Ideas{"C:\\temp\\n"}},
      {" Blanks around are kept ", Ideas{" Blanks around are kept "}},
      {"Sch\xc3\xb6n, \xe3\x83\x99\xe3\x83\xab", Ideas{"Sch\xc3\xb6n, \xe3\x83\x99\xe3\x83\xab"}},
      {longest, Ideas{longest}},
      {wideLongest, Ideas{wideLongest}},
      {longest + "i", std::nullopt},
      {"Look up.\n", std::nullopt},  // an empty idea at the end
      {"\nLook up.", std::nullopt},  // and at the start
      {"a\n  \nb", std::nullopt},    // blanks only
      {"a\n\\n\nb", std::nullopt},   // a line break only
      {"Look\\tup.", std::nullopt},  // no such pair
      {"Look up.\\", std::nullopt},  // a backslash alone at the end
      {"Look\tup.", std::nullopt},   // a control character
      {"a\r\nb", std::nullopt},
      {"Look up.\xff", std::nullopt},  // not UTF-8
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadIdeaList(c.stored), c.ideas) << c.stored;
    EXPECT_EQ(RepairIdeaList(c.stored), c.ideas ? c.stored : "") << c.stored;
  }
  ASSERT_TRUE(ReadIdeaList(most));
  EXPECT_EQ(ReadIdeaList(most)->size(), 200u);
  EXPECT_FALSE(ReadIdeaList(tooMany)) << "201 ideas";
}

TEST(IdeaList, EveryListOfGoodIdeasComesBackAsItWasWritten) {
  const Ideas lists[] = {
      {"Look up."},
      {"Two\nlines", "a \\ backslash", "\\n as typed", "ends in \\", "\\\\"},
      {"Sch\xc3\xb6n", "   x   "},
  };
  for (const Ideas& ideas : lists) {
    const std::string stored = WriteIdeaList(ideas);
    EXPECT_EQ(ReadIdeaList(stored), ideas) << stored;
  }
}

TEST(IdeaList, AnIdeaIsSomeTextWithoutControlCharactersAndNotTooLong) {
  const struct {
    std::string idea;
    IdeaFault fault;
  } cases[] = {
      {"Look up.", IdeaFault::kNone},
      {"Two\nlines", IdeaFault::kNone},
      {std::string(200, 'x'), IdeaFault::kNone},
      {std::string(201, 'x'), IdeaFault::kTooLong},
      {"", IdeaFault::kEmpty},
      {"   ", IdeaFault::kEmpty},
      {"\n", IdeaFault::kEmpty},
      {"Look\tup.", IdeaFault::kControl},
      {"Look up.\r", IdeaFault::kControl},
      {"\x7f", IdeaFault::kControl},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckIdea(c.idea), c.fault) << c.idea;
}

}  // namespace
}  // namespace unw
