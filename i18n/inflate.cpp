#include "i18n/inflate.h"

#include <array>
#include <cstdint>

namespace unw {

namespace {

constexpr int kMaxBits = 15;
constexpr int kMaxLiteralCodes = 288;
constexpr int kMaxDistanceCodes = 30;

// A canonical Huffman code: how many codes there are of each length, and the symbols in code
// order.
struct Huffman {
  std::array<uint16_t, kMaxBits + 1> count{};
  std::array<uint16_t, kMaxLiteralCodes> symbol{};
};

class Decoder {
 public:
  Decoder(std::string_view in, size_t size) : in_(in), size_(size) { out_.reserve(size); }

  std::optional<std::string> Run() {
    bool last = false;
    while (!last) {
      last = Bits(1) == 1;
      switch (Bits(2)) {
        case 0:
          Stored();
          break;
        case 1:
          Fixed();
          break;
        case 2:
          Dynamic();
          break;
        default:
          failed_ = true;
      }
      if (failed_) return std::nullopt;
    }
    if (out_.size() != size_) return std::nullopt;
    return std::move(out_);
  }

 private:
  // The next `n` bits, least significant first; a stream that ends early fails.
  uint32_t Bits(int n) {
    uint32_t value = bitBuffer_;
    while (bitCount_ < n) {
      if (pos_ >= in_.size()) {
        failed_ = true;
        return 0;
      }
      value |= static_cast<uint32_t>(static_cast<unsigned char>(in_[pos_++])) << bitCount_;
      bitCount_ += 8;
    }
    bitBuffer_ = value >> n;
    bitCount_ -= n;
    return value & ((1u << n) - 1);
  }

  void Put(char c) {
    if (out_.size() >= size_) {
      failed_ = true;
      return;
    }
    out_.push_back(c);
  }

  void Stored() {
    bitBuffer_ = 0;  // to the next byte
    bitCount_ = 0;
    if (in_.size() - pos_ < 4) {
      failed_ = true;
      return;
    }
    const auto byte = [&](size_t k) {
      return static_cast<unsigned>(static_cast<unsigned char>(in_[pos_ + k]));
    };
    const unsigned length = byte(0) | (byte(1) << 8);
    const unsigned check = byte(2) | (byte(3) << 8);
    pos_ += 4;
    if (length != (~check & 0xffff) || in_.size() - pos_ < length || size_ - out_.size() < length) {
      failed_ = true;
      return;
    }
    out_.append(in_.substr(pos_, length));
    pos_ += length;
  }

  // Builds `h` from code lengths; false when the lengths over-subscribe the code or, but for a
  // code of one symbol, leave it incomplete.
  static bool Build(Huffman& h, const uint8_t* lengths, int n) {
    h.count.fill(0);
    for (int s = 0; s < n; ++s) ++h.count[lengths[s]];
    if (h.count[0] == n) return true;  // no codes: fine until one is used
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
      left <<= 1;
      left -= h.count[len];
      if (left < 0) return false;
    }
    std::array<uint16_t, kMaxBits + 1> offsets{};
    for (int len = 1; len < kMaxBits; ++len) offsets[len + 1] = offsets[len] + h.count[len];
    for (int s = 0; s < n; ++s)
      if (lengths[s] != 0) h.symbol[offsets[lengths[s]]++] = static_cast<uint16_t>(s);
    return left == 0 || n - h.count[0] == 1;
  }

  int Decode(const Huffman& h) {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
      code |= static_cast<int>(Bits(1));
      if (failed_) return -1;
      const int count = h.count[len];
      if (code - count < first) return h.symbol[index + (code - first)];
      index += count;
      first += count;
      first <<= 1;
      code <<= 1;
    }
    failed_ = true;  // no such code
    return -1;
  }

  void Codes(const Huffman& literals, const Huffman& distances) {
    static constexpr std::array<uint16_t, 29> kLengthBase = {
        3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
        31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<uint8_t, 29> kLengthExtra = {
        0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr std::array<uint16_t, 30> kDistanceBase = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static constexpr std::array<uint8_t, 30> kDistanceExtra = {
        0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    for (;;) {
      const int symbol = Decode(literals);
      if (failed_) return;
      if (symbol < 256) {
        Put(static_cast<char>(symbol));
        if (failed_) return;
        continue;
      }
      if (symbol == 256) return;
      const int l = symbol - 257;
      if (l >= 29) {
        failed_ = true;
        return;
      }
      const size_t length = kLengthBase[l] + Bits(kLengthExtra[l]);
      const int d = Decode(distances);
      if (failed_ || d >= 30) {
        failed_ = true;
        return;
      }
      const size_t distance = kDistanceBase[d] + Bits(kDistanceExtra[d]);
      if (failed_ || distance > out_.size() || size_ - out_.size() < length) {
        failed_ = true;
        return;
      }
      for (size_t k = 0; k < length; ++k) out_.push_back(out_[out_.size() - distance]);
    }
  }

  void Fixed() {
    static const auto kTables = [] {
      std::pair<Huffman, Huffman> t;
      std::array<uint8_t, kMaxLiteralCodes> lengths{};
      for (int s = 0; s < 144; ++s) lengths[s] = 8;
      for (int s = 144; s < 256; ++s) lengths[s] = 9;
      for (int s = 256; s < 280; ++s) lengths[s] = 7;
      for (int s = 280; s < kMaxLiteralCodes; ++s) lengths[s] = 8;
      Build(t.first, lengths.data(), kMaxLiteralCodes);
      lengths.fill(5);
      Build(t.second, lengths.data(), kMaxDistanceCodes);
      return t;
    }();
    Codes(kTables.first, kTables.second);
  }

  void Dynamic() {
    static constexpr std::array<uint8_t, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
    const int nLiterals = static_cast<int>(Bits(5)) + 257;
    const int nDistances = static_cast<int>(Bits(5)) + 1;
    const int nLengths = static_cast<int>(Bits(4)) + 4;
    if (failed_ || nLiterals > 286 || nDistances > kMaxDistanceCodes) {
      failed_ = true;
      return;
    }
    std::array<uint8_t, kMaxLiteralCodes + kMaxDistanceCodes> lengths{};
    for (int k = 0; k < nLengths; ++k) lengths[kOrder[k]] = static_cast<uint8_t>(Bits(3));
    Huffman lengthCode;
    if (failed_ || !Build(lengthCode, lengths.data(), 19)) {
      failed_ = true;
      return;
    }
    lengths.fill(0);
    for (int k = 0; k < nLiterals + nDistances;) {
      int symbol = Decode(lengthCode);
      if (failed_) return;
      if (symbol < 16) {
        lengths[k++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t value = 0;
      int repeat;
      if (symbol == 16) {
        if (k == 0) {
          failed_ = true;
          return;
        }
        value = lengths[k - 1];
        repeat = 3 + static_cast<int>(Bits(2));
      } else if (symbol == 17) {
        repeat = 3 + static_cast<int>(Bits(3));
      } else {
        repeat = 11 + static_cast<int>(Bits(7));
      }
      if (failed_ || k + repeat > nLiterals + nDistances) {
        failed_ = true;
        return;
      }
      while (repeat-- > 0) lengths[k++] = value;
    }
    if (lengths[256] == 0) {  // a block that cannot end
      failed_ = true;
      return;
    }
    Huffman literals, distances;
    if (!Build(literals, lengths.data(), nLiterals) ||
        !Build(distances, lengths.data() + nLiterals, nDistances)) {
      failed_ = true;
      return;
    }
    Codes(literals, distances);
  }

  std::string_view in_;
  size_t size_;
  size_t pos_ = 0;
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
  bool failed_ = false;
  std::string out_;
};

}  // namespace

std::optional<std::string> Inflate(std::string_view stream, size_t size) {
  return Decoder(stream, size).Run();
}

}  // namespace unw
