// A compiled message catalogue (the .mo format msgfmt writes): the translations of one language,
// read from its bytes in either byte order, with contexts and plural forms. A catalogue that is
// malformed in any way is refused whole, and the program speaks English.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "i18n/plural_rule.h"

namespace unw {

class Catalog {
 public:
  // The catalogue in `bytes`, or nothing when they are not a well-formed catalogue in UTF-8 whose
  // plural rule gives each count one of its forms.
  static std::optional<Catalog> Read(std::string_view bytes);

  // The translation of `id` (in `context` when not empty), or nothing when there is none.
  const std::string* Find(std::string_view context, std::string_view id) const;
  // The form for `n` of the plural message `id`, or nothing when there is none.
  const std::string* FindPlural(std::string_view context, std::string_view id, uint64_t n) const;

  // A field of the catalogue's header ("Language", "X-Language-Name"), empty when it has none.
  std::string HeaderField(std::string_view name) const;

  int PluralCount() const { return pluralCount_; }
  size_t size() const { return entries_.size(); }

  // The most forms a language has; a catalogue that declares more is refused.
  static constexpr int kMaxPlurals = 8;

 private:
  Catalog() = default;
  struct Entry {
    std::vector<std::string> forms;  // one, or PluralCount() for a plural message
    bool plural = false;
  };
  const Entry* Lookup(std::string_view context, std::string_view id) const;

  std::unordered_map<std::string, Entry> entries_;  // by "context\x04id" or "id"
  std::string header_;
  int pluralCount_ = 2;
  std::optional<PluralRule> rule_;
};

}  // namespace unw
