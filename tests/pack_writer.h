// Writes a catalogue pack as the build's packer does, deflated by zlib (an independent encoder),
// so that the pack's tests and its fuzz make packs without a tool. Written from the layout the
// pack's header describes, not from the reader.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace unw {

// `body` as a raw deflate stream: at `level`, with `strategy` (Z_FIXED for fixed codes only).
inline std::string Deflate(const std::string& body, int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy);
  std::string out(deflateBound(&z, body.size()) + 1024,
                  '\0');  // the bound is tight for stored blocks
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
  z.avail_in = static_cast<uInt>(body.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) out.clear();
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline void PackNumber(std::string& out, uint32_t n) {
  do {
    const auto low = static_cast<char>(n & 0x7f);
    n >>= 7;
    out.push_back(static_cast<char>(low | (n ? 0x80 : 0)));
  } while (n);
}

// A pack of languages, each a map of .mo originals to translations (the "" key its header).
inline std::string WritePack(const std::vector<std::map<std::string, std::string>>& languages) {
  std::vector<std::string> keys;
  for (const auto& l : languages)
    for (const auto& [key, text] : l) keys.push_back(key);
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  std::string body = "UWCP\x01";
  PackNumber(body, static_cast<uint32_t>(keys.size()));
  PackNumber(body, static_cast<uint32_t>(languages.size()));
  auto string = [&](const std::string& s) {
    PackNumber(body, static_cast<uint32_t>(s.size()));
    body += s;
  };
  for (const auto& key : keys) string(key);
  for (const auto& l : languages)
    for (const auto& key : keys) string(l.count(key) ? l.at(key) : std::string());
  std::string out = "UWCP";
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>(body.size() >> (8 * k)));
  return out + Deflate(body, 9);
}

}  // namespace unw
