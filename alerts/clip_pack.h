// The built-in clips are carried packed (a RIFF/WAVE of a format of our own, "UWC1":
// resources/sounds/make_sounds.py makes them and describes the layout) and unpacked into a PCM
// RIFF/WAVE when they play, as a sound file's wave is played from memory. A packed clip rebuilds
// every sample within the tolerance its header states; any other wave is given back as it is.
#pragma once

#include <string>
#include <string_view>

namespace unw {

// The most samples a packed clip may claim: more than a minute at 44.1 kHz, far beyond any clip.
inline constexpr size_t kMaxClipSamples = 4u << 20;

// The PCM RIFF/WAVE (mono, the clip's rate and sample width) rebuilt from the packed clip `clip`;
// `clip` itself when it is a RIFF/WAVE of another format; empty when it is no RIFF/WAVE, has no
// format chunk, or is a packed one cut short or damaged.
std::string UnpackClip(std::string_view clip);

}  // namespace unw
