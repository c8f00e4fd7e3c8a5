// The system's sound services.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

inline constexpr uint32_t kSndAsync = 0x0001;
inline constexpr uint32_t kSndNoDefault = 0x0002;
inline constexpr uint32_t kSndNoWait = 0x2000;
inline constexpr uint32_t kSndFilename = 0x20000;
inline constexpr uint32_t kSndResource = 0x40004;
// A built-in clip from the program's resources, played once, asynchronously.
inline constexpr uint32_t kSndResourceFlags = kSndResource | kSndNoWait | kSndNoDefault | kSndAsync;
// A sound file, played once, asynchronously.
inline constexpr uint32_t kSndFileFlags = kSndFilename | kSndNoWait | kSndNoDefault | kSndAsync;

inline constexpr uint32_t kMbIconHand = 0x10;
inline constexpr uint32_t kMbIconQuestionBeep = 0x20;
inline constexpr uint32_t kMbIconExclamationBeep = 0x30;
inline constexpr uint32_t kMbIconAsterisk = 0x40;

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // PlaySound: `name` is a resource name of the program's module when `flags` has
  // kSndResource, else a file path; an empty name stops what is playing. Non-zero when
  // playback started, as the system sees it: a file played asynchronously is reported started
  // even when it cannot play.
  virtual long PlayClip(const std::string& name, uint32_t flags) = 0;
  // MessageBeep of the given kind; non-zero on success.
  virtual long MessageBeep(uint32_t type) = 0;
  // The first `maxBytes` bytes of a sound file (fewer when it is shorter); false when it cannot
  // be opened and read.
  virtual bool ReadFileStart(const std::string& path, size_t maxBytes, std::string& bytes) = 0;
};

}  // namespace unw
