// Decimal digits as the program's own texts write them: in stored times, the history, the command
// line and the number boxes.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace unw {

// The number `text` writes in decimal digits and nothing else ("0042" is 42): none for an empty
// text, any other character (a sign, a blank), or a number above `most`, however many digits.
std::optional<int64_t> ReadDigits(std::string_view text,
                                  int64_t most = std::numeric_limits<int64_t>::max());

}  // namespace unw
