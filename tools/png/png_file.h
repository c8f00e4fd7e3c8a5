// PNG encoding for the host tools (icon contact sheets, the program icon): 8-bit RGBA, deflated
// with zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace unw::png {

// `argb` holds width x height pixels, 0xAARRGGBB with straight alpha, rows from the top.
std::vector<uint8_t> Encode(int width, int height, const std::vector<uint32_t>& argb);
// Encode, written to `path`; false when the file cannot be written.
bool Write(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);

}  // namespace unw::png
