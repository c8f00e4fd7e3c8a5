// The stored catalogues: our own inflate against zlib's deflate, and the build's pack against the
// .mo files msgfmt wrote, language by language.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "i18n/catalogue_pack.h"
#include "i18n/inflate.h"
#include "i18n/language.h"
#include "pack_writer.h"

namespace unw {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

TEST(Inflate, UnpacksWhatZlibPacksAndNothingElse) {
  std::mt19937 rng(5);
  std::string noise(70000, '\0');  // incompressible: stored blocks
  for (char& c : noise) c = static_cast<char>(rng());
  std::string words;  // long matches, far back
  while (words.size() < 300000)
    words += "Time for a break: look at something far away. " + std::to_string(rng() % 977) + "\n";
  std::string utf8;
  while (utf8.size() < 50000) utf8 += "Перерыв через {minutes} мин. 休息一下。";
  const struct {
    const char* what;
    std::string text;
  } inputs[] = {{"empty", ""},    {"one byte", "x"}, {"noise", noise},
                {"words", words}, {"utf-8", utf8},   {"a run", std::string(100000, 'a')}};
  const struct {
    int level, strategy;
  } ways[] = {{0, Z_DEFAULT_STRATEGY}, {1, Z_DEFAULT_STRATEGY},
              {9, Z_DEFAULT_STRATEGY}, {9, Z_FIXED},
              {9, Z_HUFFMAN_ONLY},     {9, Z_RLE}};
  for (const auto& in : inputs) {
    for (const auto& way : ways) {
      SCOPED_TRACE(std::string(in.what) + " level " + std::to_string(way.level) + " strategy " +
                   std::to_string(way.strategy));
      const std::string packed = Deflate(in.text, way.level, way.strategy);
      EXPECT_EQ(Inflate(packed, in.text.size()), in.text);
      // The size it was said to have is part of the stream's truth.
      EXPECT_FALSE(Inflate(packed, in.text.size() + 1));
      if (!in.text.empty()) {
        EXPECT_FALSE(Inflate(packed, in.text.size() - 1));
      }
      EXPECT_FALSE(Inflate(packed.substr(0, packed.size() / 2), in.text.size()));
    }
  }
}

// The .mo originals and translations, read from the file format's description.
std::set<std::pair<std::string, std::string>> MoPairs(const std::string& mo) {
  auto word = [&](size_t at) {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
      v |= static_cast<uint32_t>(static_cast<unsigned char>(mo.at(at + static_cast<size_t>(k))))
           << (8 * k);
    return v;
  };
  EXPECT_EQ(word(0), 0x950412deu);  // msgfmt writes the machine's order: little-endian here
  std::set<std::pair<std::string, std::string>> out;
  for (uint32_t i = 0; i < word(8); ++i) {
    const size_t o = word(12) + 8 * i, t = word(16) + 8 * i;
    out.emplace(mo.substr(word(o + 4), word(o)), mo.substr(word(t + 4), word(t)));
  }
  return out;
}

TEST(CataloguePack, TheBuildsPackHoldsEveryCatalogueAsMsgfmtWroteIt) {
  const std::filesystem::path dir = UNWINDLE_CATALOGUES_DIR;
  std::vector<std::filesystem::path> mos;
  for (const auto& file : std::filesystem::directory_iterator(dir))
    if (file.path().extension() == ".mo") mos.push_back(file.path());
  std::sort(mos.begin(), mos.end());  // the build packs them in this order
  ASSERT_FALSE(mos.empty());
  const std::string pack = ReadFile(dir / "catalogues.pack");
  ASSERT_TRUE(IsCataloguePack(pack));
  const auto images = UnpackCatalogues(pack);
  ASSERT_TRUE(images);
  ASSERT_EQ(images->size(), mos.size());
  size_t stored = 0;
  for (size_t i = 0; i < mos.size(); ++i) {
    SCOPED_TRACE(mos[i].string());
    const std::string mo = ReadFile(mos[i]);
    stored += mo.size();
    EXPECT_EQ(MoPairs((*images)[i]), MoPairs(mo));
  }
  // The reason for the pack: the English ids once, and all of it compressed.
  EXPECT_LT(pack.size() * 2, stored);
  // Each reads, and names a language the setting may hold.
  std::vector<std::string_view> both = {pack};
  size_t refused = 0;
  const auto carried = ReadCatalogues(both, [&](size_t) { ++refused; });
  EXPECT_EQ(carried.size(), mos.size());
  EXPECT_EQ(refused, 0u);
  for (const auto& l : carried) EXPECT_TRUE(LanguageTagUsable(l.tag) && !l.name.empty()) << l.tag;
}

TEST(CataloguePack, ASpoiltPackIsRefusedWholeAndAMoBesideItStillCounts) {
  const std::map<std::string, std::string> de = {
      {"", "Language: de\nX-Language-Name: Deutsch\nContent-Type: text/plain; charset=UTF-8\n"},
      {"Start", "Starten"}};
  const std::map<std::string, std::string> fr = {
      {"", "Language: fr\nX-Language-Name: Français\nContent-Type: text/plain; charset=UTF-8\n"},
      {"Start", "Démarrer"}};
  const std::string good = WritePack({de, fr});
  ASSERT_TRUE(UnpackCatalogues(good));
  EXPECT_EQ(UnpackCatalogues(good)->size(), 2u);
  std::string wrongSize = good;
  wrongSize[4] = static_cast<char>(wrongSize[4] + 1);
  std::string hugeSize = good;
  hugeSize[7] = '\x7f';
  const struct {
    const char* what;
    std::string bytes;
  } spoilt[] = {{"cut", good.substr(0, good.size() - 3)},
                {"size", wrongSize},
                {"huge", hugeSize},
                {"magic only", "UWCP"},
                {"not deflated", std::string("UWCP\x05\0\0\0UWCP\x01", 13)}};
  const std::string mo = ReadFile(std::filesystem::path(UNWINDLE_CATALOGUES_DIR) / "de.mo");
  for (const auto& s : spoilt) {
    SCOPED_TRACE(s.what);
    EXPECT_FALSE(UnpackCatalogues(s.bytes));
    std::vector<size_t> refused;
    const auto carried = ReadCatalogues({s.bytes, mo}, [&](size_t i) { refused.push_back(i); });
    EXPECT_EQ(refused, std::vector<size_t>{0});
    ASSERT_EQ(carried.size(), 1u);
    EXPECT_EQ(carried[0].tag, "de");
  }
}

}  // namespace
}  // namespace unw
