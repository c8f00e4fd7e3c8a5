// The program's catalogues as it stores them: one pack that holds the English ids once and each
// language's translations of them, compressed together ("UWCP", written by
// tools/pack_catalogues.py). Ten .mo files would each repeat every English text, and compressed
// one by one they would not fit the program's size.
//
// Stored: "UWCP", the unpacked size (4 bytes, little-endian), then a raw deflate stream of:
//   "UWCP" 1 | keys | languages | each key | for each language, its translation of each key
// where each count and each string's length is a little-endian base-128 number, a key is a .mo
// original (context, \4, id, \0, plural id) and a translation a .mo translation (forms joined by
// \0); an empty translation is none. The key "" holds each language's header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unw {

// Whether `stored` is a pack (else it should be a .mo as msgfmt writes it).
bool IsCataloguePack(std::string_view stored);

// Each language of the pack as a .mo image the catalogue reader takes, in the pack's order; or
// nothing when the pack is malformed in any way.
std::optional<std::vector<std::string>> UnpackCatalogues(std::string_view stored);

}  // namespace unw
