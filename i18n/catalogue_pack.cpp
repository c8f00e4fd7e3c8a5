#include "i18n/catalogue_pack.h"

#include <cstdint>

#include "i18n/inflate.h"

namespace unw {

namespace {

constexpr std::string_view kMagic = "UWCP";
constexpr unsigned char kVersion = 1;
// Far more than ten languages of a small program need; a larger size is a spoilt pack.
constexpr uint32_t kMostUnpacked = 16u << 20;

class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : b_(bytes) {}
  bool Number(uint32_t& out) {
    out = 0;
    for (int shift = 0; shift < 32; shift += 7) {
      if (pos_ >= b_.size()) return false;
      const auto byte = static_cast<unsigned char>(b_[pos_++]);
      out |= static_cast<uint32_t>(byte & 0x7f) << shift;
      if ((byte & 0x80) == 0) return shift < 28 || byte < 16;
    }
    return false;
  }
  bool String(std::string_view& out) {
    uint32_t length;
    if (!Number(length) || b_.size() - pos_ < length) return false;
    out = b_.substr(pos_, length);
    pos_ += length;
    return true;
  }
  bool Take(std::string_view expected) {
    if (b_.substr(pos_, expected.size()) != expected) return false;
    pos_ += expected.size();
    return true;
  }
  bool AtEnd() const { return pos_ == b_.size(); }
  size_t Left() const { return b_.size() - pos_; }

 private:
  std::string_view b_;
  size_t pos_ = 0;
};

void PutWord(std::string& out, size_t at, uint32_t value) {
  for (int k = 0; k < 4; ++k)
    out[at + static_cast<size_t>(k)] = static_cast<char>(value >> (8 * k));
}

// A little-endian .mo of the pairs (already in the pack's sorted order), without a hash table.
std::string MoImage(const std::vector<std::pair<std::string_view, std::string_view>>& pairs) {
  const auto n = static_cast<uint32_t>(pairs.size());
  const size_t tables = 28 + 16 * static_cast<size_t>(n);
  std::string out(tables, '\0');
  PutWord(out, 0, 0x950412de);
  PutWord(out, 8, n);
  PutWord(out, 12, 28);
  PutWord(out, 16, 28 + 8 * n);
  PutWord(out, 24, static_cast<uint32_t>(tables));
  auto put = [&](size_t entry, std::string_view s) {
    PutWord(out, entry, static_cast<uint32_t>(s.size()));
    PutWord(out, entry + 4, static_cast<uint32_t>(out.size()));
    out.append(s);
    out.push_back('\0');
  };
  for (uint32_t i = 0; i < n; ++i) put(28 + 8 * static_cast<size_t>(i), pairs[i].first);
  for (uint32_t i = 0; i < n; ++i) put(28 + 8 * (static_cast<size_t>(n) + i), pairs[i].second);
  return out;
}

}  // namespace

bool IsCataloguePack(std::string_view stored) {
  return stored.substr(0, kMagic.size()) == kMagic;
}

std::optional<std::vector<std::string>> UnpackCatalogues(std::string_view stored) {
  if (!IsCataloguePack(stored) || stored.size() < 8) return std::nullopt;
  uint32_t size = 0;
  for (int k = 0; k < 4; ++k)
    size |= static_cast<uint32_t>(static_cast<unsigned char>(stored[4 + static_cast<size_t>(k)]))
            << (8 * k);
  if (size > kMostUnpacked) return std::nullopt;
  const auto unpacked = Inflate(stored.substr(8), size);
  if (!unpacked) return std::nullopt;

  Cursor c(*unpacked);
  uint32_t nKeys, nLanguages;
  if (!c.Take(kMagic) || !c.Take(std::string_view("\x01", 1)) || !c.Number(nKeys) ||
      !c.Number(nLanguages))
    return std::nullopt;
  static_assert(kVersion == 1);
  // Every key and translation takes at least its length's byte.
  if (nKeys > c.Left() || nLanguages > c.Left() / (static_cast<size_t>(nKeys) + 1))
    return std::nullopt;
  std::vector<std::string_view> keys(nKeys);
  for (auto& key : keys) {
    if (!c.String(key)) return std::nullopt;
    if (&key != keys.data() && !((&key)[-1] < key)) return std::nullopt;  // sorted, no twins
  }
  std::vector<std::string> out;
  std::vector<std::pair<std::string_view, std::string_view>> pairs;
  for (uint32_t l = 0; l < nLanguages; ++l) {
    pairs.clear();
    for (uint32_t k = 0; k < nKeys; ++k) {
      std::string_view translation;
      if (!c.String(translation)) return std::nullopt;
      if (!translation.empty()) pairs.emplace_back(keys[k], translation);
    }
    out.push_back(MoImage(pairs));
  }
  if (!c.AtEnd()) return std::nullopt;
  return out;
}

}  // namespace unw
