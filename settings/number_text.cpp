#include "settings/number_text.h"

#include "platform/decimal.h"

namespace unw {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool TextToInt16(std::string_view text, int16_t& out) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::string_view t = text.substr(b, e - b);
  if (t.empty()) return false;

  bool negative = false;
  size_t i = 0;
  if (t[0] == '+' || t[0] == '-') {
    negative = t[0] == '-';
    ++i;
  }
  // Whole part: any number well above the 16-bit range is as good as another.
  const size_t wholeStart = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  size_t digits = i - wholeStart;
  constexpr long kTooLarge = 1000000;
  long whole = digits ? static_cast<long>(
                            ReadDigits(t.substr(wholeStart, digits), kTooLarge).value_or(kTooLarge))
                      : 0;
  // Fraction: only how it compares with one half matters.
  int half = -1;  // -1 below, 0 exactly, 1 above
  bool fraction = false;
  if (i < t.size() && t[i] == '.') {
    ++i;
    fraction = true;
    size_t first = i;
    for (; i < t.size() && IsDigit(t[i]); ++i, ++digits) {
      if (i == first) {
        half = t[i] > '5' ? 1 : (t[i] == '5' ? 0 : -1);
      } else if (half == 0 && t[i] != '0') {
        half = 1;
      }
    }
  }
  if (i != t.size() || digits == 0) return false;
  if (fraction && (half == 1 || (half == 0 && whole % 2 == 1))) ++whole;
  long value = negative ? -whole : whole;
  if (value < -32768 || value > 32767) return false;
  out = static_cast<int16_t>(value);
  return true;
}

std::string TwoDigit(long value) {
  std::string s = std::to_string(value < 0 ? -value : value);
  if (s.size() < 2) s.insert(0, 2 - s.size(), '0');
  return value < 0 ? "-" + s : s;
}

}  // namespace unw
