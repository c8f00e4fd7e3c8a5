// The system's sound services.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace unw {

class EventLoop;

inline constexpr uint32_t kSndAsync = 0x0001;
inline constexpr uint32_t kSndNoDefault = 0x0002;
inline constexpr uint32_t kSndMemory = 0x0004;
inline constexpr uint32_t kSndNoWait = 0x2000;
inline constexpr uint32_t kSndFilename = 0x20000;
inline constexpr uint32_t kSndResource = 0x40004;
// A built-in clip from the program's resources, played once, asynchronously.
inline constexpr uint32_t kSndResourceFlags = kSndResource | kSndNoWait | kSndNoDefault | kSndAsync;
// A sound file, played once, asynchronously.
inline constexpr uint32_t kSndFileFlags = kSndFilename | kSndNoWait | kSndNoDefault | kSndAsync;
// A wave held in memory, played once, asynchronously: no file is opened.
inline constexpr uint32_t kSndMemoryFlags = kSndMemory | kSndNoWait | kSndNoDefault | kSndAsync;

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
  // PlaySound of the wave `wave` held in memory (kSndMemoryFlags): no file is opened, so nothing
  // can block. The system reads the wave as its header says: the caller gives one whose sizes
  // fit (WaveImage). The player keeps it until the next sound replaces or stops it. `name` says
  // in the trace where it came from. Non-zero when playback started.
  virtual long PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) = 0;
  // MessageBeep of the given kind; non-zero on success.
  virtual long MessageBeep(uint32_t type) = 0;
  // Reads the first `maxBytes` bytes of the file at `path` (fewer when it is shorter) away from
  // the program's thread, so that a file whose opening or reading does not end (a device, a
  // pipe, an unreachable share) holds nothing up. `done` runs later on the program's thread,
  // from its event loop (loop()), with whether the file could be opened and read and what was
  // read; never when the read never ends. Only files on a disk are read.
  virtual void ReadFileAsync(const std::string& path, size_t maxBytes,
                             std::function<void(bool ok, std::string bytes)> done) = 0;
  // The event loop on which ReadFileAsync answers: whoever waits for a file waits on its
  // timers (the fake's virtual clock) and, to wait in place, in a nested loop of it.
  virtual EventLoop& loop() = 0;
};

}  // namespace unw
