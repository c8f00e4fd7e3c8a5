// Whether stored bytes are text at all: every text the program keeps is UTF-8.
#pragma once

#include <cstddef>
#include <string_view>

namespace unw {

// Well-formed UTF-8: no stray or missing continuation bytes, overlong forms, surrogates or values
// past U+10FFFF.
bool WellFormedUtf8(std::string_view bytes);
// The length of the well-formed character that starts at `i` (below s.size()), or 0.
size_t Utf8SequenceAt(std::string_view s, size_t i);

}  // namespace unw
