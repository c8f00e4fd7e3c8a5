#include "alerts/wave_file.h"

#include <algorithm>
#include <cstdint>

namespace unw {

namespace {

uint32_t Le(std::string_view b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

bool KnownEncoding(uint32_t tag, uint32_t bits) {
  switch (tag) {
    case 1:  // PCM
      return bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case 2:       // MS ADPCM
    case 3:       // IEEE float
    case 6:       // A-law
    case 7:       // mu-law
    case 0x11:    // IMA ADPCM
    case 0x31:    // GSM 6.10
    case 0x50:    // MPEG
    case 0x55:    // MPEG layer 3
    case 0xFFFE:  // extensible
      return true;
    default:
      return false;
  }
}

void PutLe(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

}  // namespace

bool CanPlayWave(std::string_view head) {
  if (head.size() < 12 || head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "WAVE") return false;
  bool format = false;
  // Chunks follow one another, each padded to an even length.
  for (size_t at = 12; at + 8 <= head.size();) {
    const std::string_view id = head.substr(at, 4);
    const uint32_t size = Le(head, at + 4, 4);
    const size_t body = at + 8;
    if (id == "fmt ") {
      if (size < 16 || body + 16 > head.size()) return false;
      const uint32_t channels = Le(head, body + 2, 2), rate = Le(head, body + 4, 4);
      const uint32_t align = Le(head, body + 12, 2), bits = Le(head, body + 14, 2);
      format = KnownEncoding(Le(head, body, 2), bits) && channels >= 1 && channels <= 8 &&
               rate >= 1000 && rate <= 384000 && align >= 1;
      if (!format) return false;
    } else if (id == "data") {
      // Sound comes after the format, and some of it is there (a file cut after its header
      // has none).
      return format && size > 0 && body < head.size();
    }
    if (size > head.size()) return false;  // nothing we read reaches past this chunk
    at = body + size + (size & 1);
  }
  return false;
}

std::string WaveImage(std::string_view bytes) {
  if (!CanPlayWave(bytes)) return {};
  // The same walk as above, which found the data chunk within `bytes`.
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const uint32_t size = Le(bytes, at + 4, 4);
    const size_t body = at + 8;
    if (bytes.substr(at, 4) == "data") {
      const size_t held = std::min<size_t>(size, bytes.size() - body);
      std::string image(bytes.substr(0, body + held));
      if (held & 1) image += '\0';
      PutLe(image, body - 4, static_cast<uint32_t>(held));
      PutLe(image, 4, static_cast<uint32_t>(image.size() - 8));
      return image;
    }
    at = body + size + (size & 1);
  }
  return {};
}

}  // namespace unw
