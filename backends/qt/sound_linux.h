// The program's sounds on Linux, through ALSA. ALSA because it is the one interface every Linux
// desktop plays through: on PulseAudio and PipeWire its default device is their plugin, on a bare
// system it is the card itself, and it needs no daemon and no Qt Multimedia (not in Debian 12's
// Qt base); its device can also be a file, which is how the end-to-end run hears the program.
// A wave plays on a thread of the player's own, chunk by chunk, so that the next sound or a stop
// cuts it at once (snd_pcm_drop); the program's thread only hands the wave over. Beeps are tones
// the player makes itself: no sound theme is there everywhere.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/event_loop.h"
#include "platform/sound.h"
#include "platform/trace.h"

class QObject;

namespace unw {

class LinuxSoundPlayer : public SoundPlayer {
 public:
  // `device`: the ALSA device ("default": the desktop's sound server or the card). Its answers
  // (ReadFileAsync) come through the Qt loop of the thread that makes it.
  LinuxSoundPlayer(Trace& trace, EventLoop& loop, std::string device = "default");
  ~LinuxSoundPlayer() override;
  LinuxSoundPlayer(const LinuxSoundPlayer&) = delete;
  LinuxSoundPlayer& operator=(const LinuxSoundPlayer&) = delete;

  std::string ClipBytes(const std::string& id) override;
  void Stop() override;
  long PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) override;
  bool PlayBeep(Beep kind) override;
  void ReadFileAsync(const std::string& path, size_t maxBytes,
                     std::function<void(bool ok, std::string bytes)> done) override;
  EventLoop& loop() override { return loop_; }
  // The beeps are tones of the player's own.
  bool BeepsAreSystemSounds() override { return false; }

  // Reads at most under way at once; beyond, a read fails at once (reads that never end must not
  // use up the program's threads).
  static constexpr int kMaxReads = 8;
  // Whether the player has nothing left to play (the last sound ended, or was stopped).
  bool Quiet();

 private:
  struct Mailbox;
  void Play();  // the player's thread

  Trace& trace_;
  EventLoop& loop_;
  std::string device_;
  std::unique_ptr<QObject> context_;  // where read answers are delivered
  std::shared_ptr<Mailbox> mail_;
  uint64_t nextRead_ = 1;
  std::map<uint64_t, std::function<void(bool, std::string)>> waiting_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<const std::string> next_;  // the wave to play next, handed over
  uint64_t turn_ = 0;                        // each new sound or stop cuts the one before
  bool busy_ = false, quit_ = false;         // the thread plays a wave; the player ends
  std::thread thread_;
};

// A tone of `hz` for `ms` as a PCM wave (mono, 16 bits), faded in and out so it does not click.
std::string ToneWave(int hz, int ms, int repeats);

}  // namespace unw
