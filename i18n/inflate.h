// Raw deflate streams (RFC 1951) unpacked by our own small decoder: the catalogues are stored
// compressed in the program. Anything malformed, or a stream that does not unpack to exactly the
// size it was said to have, is refused whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace unw {

// The bytes `stream` unpacks to, when they are exactly `size` bytes; else nothing.
std::optional<std::string> Inflate(std::string_view stream, size_t size);

}  // namespace unw
