#include "alerts/clip_pack.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>

namespace unw {
namespace {

// The format tag of a packed clip's RIFF/WAVE, and the size of the header its data starts with.
constexpr uint32_t kPackedTag = 0x5557;
constexpr size_t kHeadBytes = 16;

uint32_t Le(std::string_view b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

// LZMA's binary range decoder; the probabilities of a 0 are 12-bit and move a sixteenth of the way
// each bit. Past the end of its bytes it says so rather than make bits up.
class RangeDecoder {
 public:
  explicit RangeDecoder(std::string_view bytes) : bytes_(bytes) {
    for (int i = 0; i < 5; ++i) code_ = code_ << 8 | Next();
  }
  bool ok() const { return ok_; }
  uint32_t Bit(uint16_t& p) {
    const uint32_t bound = (range_ >> 12) * p;
    uint32_t bit = 0;
    if (code_ < bound) {
      range_ = bound;
      p = static_cast<uint16_t>(p + ((4096 - p) >> 4));
    } else {
      code_ -= bound;
      range_ -= bound;
      p = static_cast<uint16_t>(p - (p >> 4));
      bit = 1;
    }
    while (range_ < (1u << 24)) {
      range_ <<= 8;
      code_ = code_ << 8 | Next();
    }
    return bit;
  }

 private:
  uint32_t Next() {
    if (pos_ >= bytes_.size()) {
      ok_ = false;
      return 0;
    }
    return static_cast<uint8_t>(bytes_[pos_++]);
  }
  std::string_view bytes_;
  size_t pos_ = 0;
  uint32_t range_ = 0xFFFFFFFF, code_ = 0;
  bool ok_ = true;
};

// The adaptive probabilities of the residuals' bits, by context. A residual's bit length is at
// most 18 bits for 16-bit audio; damage that claims more is refused.
constexpr int kMaxLength = 22;
constexpr int kLengthContexts = 13;
struct Model {
  Model() {
    for (auto& row : length) std::fill(std::begin(row), std::end(row), uint16_t{2048});
    for (auto& row : top) std::fill(std::begin(row), std::end(row), uint16_t{2048});
    std::fill(std::begin(low), std::end(low), uint16_t{2048});
  }
  uint16_t length[kLengthContexts][kMaxLength + 1];
  uint16_t top[kMaxLength + 1][2];
  uint16_t low[kMaxLength + 1];
};

// One zigzag-mapped residual, after one of bit length `previous`; false on damage.
bool ReadResidual(RangeDecoder& in, Model& m, int& previous, uint32_t& z) {
  uint16_t* unary = m.length[std::min(previous, kLengthContexts - 1)];
  int n = 0;
  while (in.Bit(unary[n]) == 1)
    if (++n > kMaxLength - 1) return false;
  uint32_t v = 1;
  for (int which = 0; which < n; ++which)
    v = v << 1 | in.Bit(which < 2 ? m.top[n][which] : m.low[n]);
  previous = n;
  z = v - 1;
  return in.ok();
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
  const uint32_t order = static_cast<uint8_t>(packed[10]);
  const uint32_t count = Le(packed, 12, 4);
  if ((bits != 8 && bits != 16) || rate == 0 || rate > 192000 || (order != 1 && order != 2) ||
      count > kMaxClipSamples)
    return {};
  const int32_t step = 2 * tolerance + 1;
  const int32_t lo = -(1 << (bits - 1)), hi = (1 << (bits - 1)) - 1;
  RangeDecoder in(packed.substr(kHeadBytes));
  auto model = std::make_unique<Model>();
  std::string data;
  data.reserve(static_cast<size_t>(count) * static_cast<size_t>(bits / 8));
  int32_t x1 = 0, x2 = 0;
  int previous = 0;
  for (uint32_t n = 0; n < count; ++n) {
    uint32_t z = 0;
    if (!ReadResidual(in, *model, previous, z)) return {};
    const int32_t r = (z & 1) ? -static_cast<int32_t>((z + 1) / 2) : static_cast<int32_t>(z / 2);
    const int32_t p = std::clamp(order == 1 ? x1 : 2 * x1 - x2, lo, hi);
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
