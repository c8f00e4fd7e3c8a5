#include "platform/decimal.h"

namespace unw {

std::optional<int64_t> ReadDigits(std::string_view text, int64_t most) {
  if (text.empty() || most < 0) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    // value * 10 + digit > most, asked without overflowing.
    if (digit > most || value > (most - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace unw
