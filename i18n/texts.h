// What the program says, in the user's language: a message's English text is its id, looked up in
// the language's catalogue; named placeholders ("{minutes}") are filled in after the lookup, so a
// translation may put them anywhere. Without a catalogue (English) the id comes back as it is.
//
// The markers T, TC, TN and TNC are what the build's extractor looks for (po/CMakeLists.txt): a
// text shown to the user is written as a whole sentence in one of them, never glued from pieces.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "i18n/catalog.h"

namespace unw {

// Named values for a message's placeholders: {{"minutes", "5"}} fills "{minutes}".
using Fills = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// `text` with each "{name}" of `fills` replaced by its value, in one pass (a value is never
// itself searched for placeholders); braces that name nothing in `fills` stay as they are.
std::string FillIn(std::string_view text, Fills fills);

// Marks a text in a table for the extractor and gives it back as it is: the table's user
// translates it where it shows it (texts.T(entry.caption)).
constexpr const char* NT(const char* id) {
  return id;
}
// The same for a text of a table with its context: translated with texts.TC(context, entry).
constexpr const char* NTC(const char* /*context*/, const char* id) {
  return id;
}

class Texts {
 public:
  Texts() = default;  // English
  // Speaks the language `tag` ("de", "zh-CN") with its catalogue.
  Texts(std::string tag, Catalog catalog);
  Texts(std::string tag, std::shared_ptr<const Catalog> catalog);

  std::string T(std::string_view id, Fills fills = {}) const;
  // In a context, for ids that mean different things in different places ("Stop" a timer or a
  // sound).
  std::string TC(std::string_view context, std::string_view id, Fills fills = {}) const;
  // The form for `n` of a count: `one` and `many` are the English forms.
  std::string TN(std::string_view one, std::string_view many, uint64_t n, Fills fills = {}) const;
  std::string TNC(std::string_view context, std::string_view one, std::string_view many, uint64_t n,
                  Fills fills = {}) const;

  // The language spoken: empty for English.
  const std::string& Language() const { return tag_; }

 private:
  std::string tag_;
  std::shared_ptr<const Catalog> catalog_;  // null for English; copies of Texts share it
};

}  // namespace unw
