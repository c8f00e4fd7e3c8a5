// Catalogues spoilt at random: truncated, bytes changed, words of the tables set to extremes,
// bytes inserted, and packs of them spoilt the same ways. Reading one must never crash or read
// outside it (the sanitizers watch), and a catalogue that is accepted must answer every lookup with
// one of its own texts or none.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "i18n/catalog.h"
#include "i18n/catalogue_pack.h"
#include "mo_writer.h"
#include "pack_writer.h"

namespace unw {

inline const std::vector<std::string>& FuzzSeedCatalogues() {
  static const std::vector<std::string> seeds = [] {
    const std::vector<MoMessage> messages = {
        MoHeader("nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 "
                 "|| n%100>=20) ? 1 : 2);"),
        {"Start", "Старт"},
        {"menu\x04"
         "Start",
         "Запуск"},
        {Nul({"{n} minute", "{n} minutes"}), Nul({"{n} минута", "{n} минуты", "{n} минут"})},
    };
    std::map<std::string, std::string> language;
    for (const auto& m : messages) language[m.original] = m.translation;
    language[""] += "Language: ru\n";
    return std::vector<std::string>{WriteMo(messages, false), WriteMo(messages, true),
                                    WritePack({language, language})};
  }();
  return seeds;
}

// One spoilt catalogue; what went wrong, or empty.
inline std::string FuzzCatalogOnce(std::mt19937& rng) {
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  std::string bytes = FuzzSeedCatalogues()[pick(3)];
  const size_t whole = bytes.size();
  const size_t changes = 1 + pick(4);
  bool truncated = false;
  for (size_t c = 0; c < changes && !bytes.empty(); ++c) {
    switch (pick(5)) {
      case 0:  // cut short
        bytes.resize(pick(bytes.size()));
        truncated = true;
        break;
      case 1:  // any byte
        bytes[pick(bytes.size())] = static_cast<char>(pick(256));
        break;
      case 2: {  // a word of the header or the tables to an extreme
        const size_t words = std::min<size_t>(bytes.size() / 4, 7 + 4 * 8);
        if (words == 0) break;
        static const uint32_t kExtremes[] = {0,          1,          0x7fffffff, 0x80000000,
                                             0xffffffff, 0xfffffffc, 28,         0x10000};
        const uint32_t v = kExtremes[pick(8)];
        const size_t at = 4 * pick(words);
        for (int k = 0; k < 4; ++k)
          bytes[at + static_cast<size_t>(k)] = static_cast<char>(v >> (8 * k));
        break;
      }
      case 3:  // bytes inserted
        bytes.insert(pick(bytes.size() + 1),
                     std::string(1 + pick(8), static_cast<char>(pick(256))));
        break;
      default:  // one bit
        bytes[pick(bytes.size())] ^= static_cast<char>(1 << pick(8));
        break;
    }
  }
  if (IsCataloguePack(bytes)) {
    // A pack unpacks to catalogues that read, or to nothing; the deflate stream's own checks
    // (and the size it must come to) catch most spoilt ones.
    const auto images = UnpackCatalogues(bytes);
    if (images)
      for (const auto& image : *images) bytes = image;  // the last one goes through the rules
    if (!images || images->empty()) return {};
    truncated = false;
  }
  const auto catalog = Catalog::Read(bytes);
  // The last byte of a catalogue is the NUL that ends its last text: cut short, it is refused.
  if (catalog && truncated && bytes.size() < whole && changes == 1)
    return " a catalogue cut to " + std::to_string(bytes.size()) + " bytes was accepted";
  if (!catalog) return {};
  static const uint64_t kCounts[] = {0, 1, 2, 5, 11, 21, 22, 111, 0xffffffffffffffffull};
  for (const uint64_t n : kCounts) {
    const std::string* text = catalog->FindPlural({}, "{n} minute", n);
    if (text && text->empty()) return " an empty plural form";
  }
  const std::string* start = catalog->Find({}, "Start");
  const std::string* menu = catalog->Find("menu", "Start");
  if ((start && start->empty()) || (menu && menu->empty())) return " an empty translation";
  return {};
}

}  // namespace unw
