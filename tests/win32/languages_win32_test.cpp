// The languages under the real system: the user's preferred UI languages come as tags, and the
// catalogues compiled into the program (this test carries the build's, as unwindle.exe does) read
// back whole.
#include <gtest/gtest.h>

#include "backends/win32/languages_win32.h"
#include "i18n/catalog.h"
#include "i18n/language.h"

namespace unw {
namespace {

TEST(Win32Languages, PreferredUiLanguagesAreTags) {
  Trace trace(nullptr, "");
  Win32Languages languages(trace);
  const auto preferred = languages.PreferredUiLanguages();
  ASSERT_FALSE(preferred.empty());
  for (const auto& tag : preferred) EXPECT_TRUE(LanguageTagUsable(tag)) << tag;
}

TEST(Win32Languages, TheCarriedCataloguesReadBackWhole) {
  Trace trace(nullptr, "");
  Win32Languages languages(trace);
  const auto stored = languages.Catalogues();
  EXPECT_EQ(stored.size(), 1u);  // one pack
  size_t refused = 0;
  const auto carried = ReadCatalogues(stored, [&](size_t) { ++refused; });
  EXPECT_EQ(refused, 0u);
  EXPECT_EQ(carried.size(), static_cast<size_t>(UNWINDLE_CATALOGUE_COUNT));
}

}  // namespace
}  // namespace unw
