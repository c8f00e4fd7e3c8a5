// Which language the program speaks: a chosen tag, or the first of the user's preferred user
// interface languages that the program has a catalogue for. English is built in.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/catalog.h"
#include "i18n/catalogue_pack.h"

namespace unw {

// A language tag the setting may hold: letters, digits and hyphens in parts of 1 to 8, the first
// of 2 or 3 letters ("de", "zh-CN", "sr-Latn-RS"), at most 35 characters. Empty is usable too
// (follow Windows).
bool LanguageTagUsable(std::string_view tag);

// The language before its region or script: "zh" of "zh-CN".
std::string_view BaseLanguage(std::string_view tag);

// Whether the tags name the same language ("zh-cn" and "zh_CN" do).
bool SameTag(std::string_view a, std::string_view b);

// The tag of `available` to speak, or empty for English. `chosen` (the setting) comes first when
// not empty, then each of `preferred` in order; each is tried whole and then as its base
// language. English ("en", "en-GB") is always there and needs no catalogue, so a user who
// prefers English before German gets English.
std::string ChooseLanguage(std::string_view chosen, const std::vector<std::string>& preferred,
                           const std::vector<std::string>& available);

// A language the program carries: its tag, its name in its own words (for the Language menu) and
// its catalogue.
struct CarriedLanguage {
  std::string tag;
  std::string name;
  std::shared_ptr<const Catalog> catalog;
};

// Adds the catalogue in `bytes` (a .mo) to `carried` when it reads well and says which language
// it is (header fields Language and X-Language-Name); of two with the same tag the first counts.
bool CarryCatalogue(std::vector<CarriedLanguage>& carried, std::string_view bytes);

// The languages of the catalogues in `stored` (each a .mo or a pack of them: catalogue_pack.h),
// in their order. `refused` is told the index of each stored item that is spoilt, or that holds a
// catalogue left out.
template <typename Refused>
std::vector<CarriedLanguage> ReadCatalogues(const std::vector<std::string_view>& stored,
                                            Refused refused) {
  std::vector<CarriedLanguage> out;
  for (size_t i = 0; i < stored.size(); ++i) {
    if (!IsCataloguePack(stored[i])) {
      if (!CarryCatalogue(out, stored[i])) refused(i);
      continue;
    }
    const auto images = UnpackCatalogues(stored[i]);
    bool whole = images.has_value();
    if (images)
      for (const auto& image : *images) whole = CarryCatalogue(out, image) && whole;
    if (!whole) refused(i);
  }
  return out;
}

}  // namespace unw
