#include "settings/utf8_text.h"

namespace unw {

bool WellFormedUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                     : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                    : 0;
    if (n == 0 || n > bytes.size() - i) return false;
    for (size_t k = 1; k < n; ++k)
      if ((at(i + k) & 0xC0) != 0x80) return false;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    const unsigned char second = at(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
      return false;
    i += n;
  }
  return true;
}

}  // namespace unw
