// Whether stored bytes are text at all: every text the program keeps is UTF-8.
#pragma once

#include <string_view>

namespace unw {

// Well-formed UTF-8: no stray or missing continuation bytes, overlong forms, surrogates or values
// past U+10FFFF.
bool WellFormedUtf8(std::string_view bytes);

}  // namespace unw
