// Conversions between numbers and the texts the program stores and shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace unw {

// Decimal text to a 16-bit signed integer: blanks around, an optional sign,
// digits with an optional fraction (rounded half to even). Anything else, or
// a result outside -32768..32767, fails and leaves `out` untouched.
bool TextToInt16(std::string_view text, int16_t& out);

// At least two digits, zero-padded on the left: 5 -> "05", 123 -> "123".
std::string TwoDigit(long value);

}  // namespace unw
