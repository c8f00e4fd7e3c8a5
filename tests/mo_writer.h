// Writes a compiled catalogue the way msgfmt lays one out (magic, revision, count, the two tables
// of length and offset, then the strings each ended by a NUL), in either byte order, so the
// reader's tests and its fuzz build catalogues without a tool. Written from the file format's
// description, not from the reader.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace unw {

struct MoMessage {
  std::string original;     // "id", "context\x04id", or "id\0id_plural"
  std::string translation;  // "text", or the forms joined by "\0"
};

// A header ("msgid \"\"") with these Plural-Forms (none when empty), in UTF-8.
inline MoMessage MoHeader(const std::string& pluralForms) {
  std::string text = "Project-Id-Version: test\nContent-Type: text/plain; charset=UTF-8\n";
  if (!pluralForms.empty()) text += "Plural-Forms: " + pluralForms + "\n";
  return {"", text};
}

// Texts joined by NULs: the id and its plural, or a message's forms.
inline std::string Nul(std::initializer_list<std::string> parts) {
  std::string out;
  for (const auto& part : parts) {
    if (!out.empty() || &part != parts.begin()) out.push_back('\0');
    out += part;
  }
  return out;
}

inline std::string WriteMo(const std::vector<MoMessage>& messages, bool bigEndian) {
  std::string out;
  auto word = [&](uint32_t v) {
    for (int k = 0; k < 4; ++k) {
      const int shift = bigEndian ? 24 - 8 * k : 8 * k;
      out.push_back(static_cast<char>((v >> shift) & 0xff));
    }
  };
  const auto count = static_cast<uint32_t>(messages.size());
  const uint32_t originals = 28;
  const uint32_t translations = originals + 8 * count;
  uint32_t strings = translations + 8 * count;
  word(0x950412de);
  word(0);
  word(count);
  word(originals);
  word(translations);
  word(0);  // no hash table
  word(strings);
  std::string tail;
  std::vector<std::pair<uint32_t, uint32_t>> table[2];
  for (int side = 0; side < 2; ++side) {
    for (const auto& m : messages) {
      const std::string& s = side == 0 ? m.original : m.translation;
      table[side].emplace_back(static_cast<uint32_t>(s.size()), strings);
      tail += s;
      tail.push_back('\0');
      strings += static_cast<uint32_t>(s.size()) + 1;
    }
  }
  for (int side = 0; side < 2; ++side)
    for (const auto& [length, offset] : table[side]) {
      word(length);
      word(offset);
    }
  return out + tail;
}

}  // namespace unw
