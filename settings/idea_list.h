// The user's own break ideas, kept in one stored text (CustomIdeas).
//
// The stored form: the ideas one after another, separated by a line feed. Inside an idea a
// backslash is written "\\" and a line break "\n" (a backslash and the letter n), so that neither
// can be taken for the separator; no other backslash pair, and no other control character, is part
// of the form. A list that breaks any of these rules, or any limit below, cannot be read at all and
// is set back to empty (the built-in ideas) as a whole. An empty text (or the store's blank) is the
// empty list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unw {

// Why an idea cannot be kept, if anything.
enum class IdeaFault {
  kNone,
  kEmpty,    // nothing but blanks
  kTooLong,  // more than kMaxIdeaChars characters
  kControl,  // a control character other than a line break
};

IdeaFault CheckIdea(std::string_view idea);

// The ideas of a stored text, or nothing when it cannot be read; the blank reads as no ideas.
std::optional<std::vector<std::string>> ReadIdeaList(std::string_view stored);
// The stored form of a list of ideas that each pass CheckIdea.
std::string WriteIdeaList(const std::vector<std::string>& ideas);
// The stored text as it should stay: itself when it can be read, else empty.
std::string RepairIdeaList(const std::string& stored);

// The limits of the list: short enough to read in a break, few enough to go through.
inline constexpr size_t kMaxIdeaChars = 200;
inline constexpr size_t kMaxIdeas = 200;

}  // namespace unw
