// The system's sound services.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace unw {

class EventLoop;

// The kind of a system beep: the sound the user chose for such a message.
enum class Beep { kInformation, kWarning, kError, kQuestion };

// Each sound plays once, asynchronously, and replaces the one playing.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // The bytes of the built-in clip `id` (a clip of kSoundCatalogue or a short break's cue, by its
  // resource name) as the program carries them; empty when it carries no such clip.
  virtual std::string ClipBytes(const std::string& id) = 0;
  // Stops what is playing; harmless when nothing is.
  virtual void Stop() = 0;
  // Plays the wave `wave` held in memory: no file is opened, so nothing can block. The system
  // reads the wave as its header says: the caller gives one whose sizes fit (WaveImage). The
  // player keeps it until the next sound replaces or stops it. `name` says in the trace where
  // it came from. Non-zero when playback started; 0 for no wave at all.
  virtual long PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) = 0;
  // The system's beep of `kind`; false when it could not sound.
  virtual bool PlayBeep(Beep kind) = 0;
  // Whether PlayBeep sounds the alert sounds the user chose for the system (its sound scheme);
  // false: tones of the player's own.
  virtual bool BeepsAreSystemSounds() { return true; }
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
