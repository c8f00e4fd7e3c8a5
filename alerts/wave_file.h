// Whether the start of a file is a wave file the system's sound service plays: the service
// itself reports success for anything it is given, and plays nothing.
#pragma once

#include <string>
#include <string_view>

namespace unw {

// How much of a file CanPlayWave needs to see.
inline constexpr size_t kWaveHeadBytes = 64 * 1024;

// True for a RIFF/WAVE file whose format chunk names an encoding the system plays (PCM, float,
// A-law, mu-law, the ADPCM kinds, GSM, MPEG) with sound data after it. `head` is the start of
// the file, up to kWaveHeadBytes.
bool CanPlayWave(std::string_view head);

// The wave to give the system in memory for `bytes`, the start of a file: empty when CanPlayWave
// refuses it; else the file up to the end of its sound data (as much of it as `bytes` holds, padded
// to an even length), its RIFF and data sizes saying just that. The system reads a wave in memory
// as its header says, so that nothing is read past it.
std::string WaveImage(std::string_view bytes);

}  // namespace unw
