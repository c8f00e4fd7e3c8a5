// Whether the start of a file is a wave file the system's sound service plays: the service
// itself reports success for anything it is given, and plays nothing.
#pragma once

#include <string_view>

namespace unw {

// How much of a file CanPlayWave needs to see.
inline constexpr size_t kWaveHeadBytes = 64 * 1024;

// True for a RIFF/WAVE file whose format chunk names an encoding the system plays (PCM, float,
// A-law, mu-law, the ADPCM kinds, GSM, MPEG) with sound data after it. `head` is the start of
// the file, up to kWaveHeadBytes.
bool CanPlayWave(std::string_view head);

}  // namespace unw
