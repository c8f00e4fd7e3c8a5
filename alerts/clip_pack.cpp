#include "alerts/clip_pack.h"

#include <algorithm>
#include <cstdint>

namespace unw {
namespace {

// The format tag of a packed clip's RIFF/WAVE, and the size of the header its data starts with.
constexpr uint32_t kPackedTag = 0x5557;
constexpr size_t kHeadBytes = 16;
// z >> k this large is written as this many ones and z in kRawBits bits.
constexpr uint32_t kEscape = 24;
constexpr int kRawBits = 24;

uint32_t Le(std::string_view b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

// Reads bits most significant first; past the end it says so rather than make bits up.
class BitReader {
 public:
  explicit BitReader(std::string_view bytes) : bytes_(bytes) {}
  bool Bit(uint32_t& bit) {
    if (pos_ >= bytes_.size() * 8) return false;
    bit = static_cast<uint8_t>(bytes_[pos_ / 8]) >> (7 - pos_ % 8) & 1;
    ++pos_;
    return true;
  }
  bool Bits(int count, uint32_t& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
      uint32_t bit = 0;
      if (!Bit(bit)) return false;
      value = value << 1 | bit;
    }
    return true;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// One zigzag-mapped residual of Rice parameter k.
bool ReadResidual(BitReader& in, int k, uint32_t& z) {
  uint32_t ones = 0, bit = 0;
  while (ones < kEscape) {
    if (!in.Bit(bit)) return false;
    if (bit == 0) break;
    ++ones;
  }
  if (ones == kEscape) return in.Bits(kRawBits, z);
  uint32_t low = 0;
  if (!in.Bits(k, low)) return false;
  z = ones << k | low;
  return true;
}

std::string Riff(uint32_t rate, int bits, const std::string& data) {
  const uint32_t block = static_cast<uint32_t>(bits / 8);
  std::string w = "RIFF";
  PutLe(w, static_cast<uint32_t>(36 + data.size() + data.size() % 2), 4);
  w += "WAVEfmt ";
  PutLe(w, 16, 4);
  PutLe(w, 1, 2);  // PCM
  PutLe(w, 1, 2);  // mono
  PutLe(w, rate, 4);
  PutLe(w, rate * block, 4);
  PutLe(w, block, 2);
  PutLe(w, static_cast<uint32_t>(bits), 2);
  w += "data";
  PutLe(w, static_cast<uint32_t>(data.size()), 4);
  w += data;
  if (data.size() % 2) w.push_back('\0');
  return w;
}

}  // namespace

std::string UnpackClip(std::string_view clip) {
  if (clip.size() < 12 || clip.substr(0, 4) != "RIFF" || clip.substr(8, 4) != "WAVE") return {};
  std::string_view fmt, packed;
  for (size_t at = 12; at + 8 <= clip.size();) {
    const size_t size = Le(clip, at + 4, 4), body = at + 8;
    // A file may be cut short: what it holds is judged (packed data must be whole).
    if (clip.substr(at, 4) == "fmt ") fmt = clip.substr(body, size);
    if (clip.substr(at, 4) == "data") packed = clip.substr(body, size);
    if (size > clip.size() - body) break;
    at = body + size + (size & 1);
  }
  if (fmt.size() < 2) return {};
  if (Le(fmt, 0, 2) != kPackedTag) return std::string(clip);
  if (packed.size() < kHeadBytes || packed.substr(0, 4) != "UWC1") return {};
  const uint32_t rate = Le(packed, 4, 4);
  const int bits = static_cast<uint8_t>(packed[8]);
  const int32_t tolerance = static_cast<uint8_t>(packed[9]);
  const uint32_t blockSamples = Le(packed, 10, 2);
  const uint32_t count = Le(packed, 12, 4);
  if ((bits != 8 && bits != 16) || rate == 0 || rate > 192000 || blockSamples == 0 ||
      count > kMaxClipSamples)
    return {};
  const int32_t step = 2 * tolerance + 1;
  const int32_t lo = -(1 << (bits - 1)), hi = (1 << (bits - 1)) - 1;
  BitReader in(packed.substr(kHeadBytes));
  std::string data;
  data.reserve(static_cast<size_t>(count) * static_cast<size_t>(bits / 8));
  int32_t x1 = 0, x2 = 0;
  uint32_t k = 0;
  for (uint32_t n = 0; n < count; ++n) {
    if (n % blockSamples == 0 && !in.Bits(4, k)) return {};
    uint32_t z = 0;
    if (!ReadResidual(in, static_cast<int>(k), z)) return {};
    // Residuals beyond twice the sample range are damage, and would overflow below.
    if (z > (1u << 18)) return {};
    const int32_t r = (z & 1) ? -static_cast<int32_t>((z + 1) / 2) : static_cast<int32_t>(z / 2);
    const int32_t p = std::clamp(2 * x1 - x2, lo, hi);
    const int32_t x = std::clamp(p + r * step, lo, hi);
    if (bits == 8)
      data.push_back(static_cast<char>(x + 128));
    else
      PutLe(data, static_cast<uint32_t>(static_cast<uint16_t>(x)), 2);
    x2 = x1;
    x1 = x;
  }
  return Riff(rate, bits, data);
}

}  // namespace unw
