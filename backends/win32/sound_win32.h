// The program's sounds: built-in clips from its resources, sound files read away from the
// program's thread and played from memory through PlaySoundW, and the system's message beeps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/sound.h"
#include "platform/trace.h"

namespace unw {

// SoundPlayer service over winmm and user32. A file is read by a thread of its own, which posts
// the bytes to a message-only window of the player; the program's loop hands them on.
class Win32SoundPlayer : public SoundPlayer {
 public:
  Win32SoundPlayer(Trace& trace, EventLoop& loop);
  ~Win32SoundPlayer() override;
  Win32SoundPlayer(const Win32SoundPlayer&) = delete;
  Win32SoundPlayer& operator=(const Win32SoundPlayer&) = delete;

  std::string ClipBytes(const std::string& id) override;
  void Stop() override;
  long PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) override;
  bool PlayBeep(Beep kind) override;
  void ReadFileAsync(const std::string& path, size_t maxBytes,
                     std::function<void(bool ok, std::string bytes)> done) override;
  EventLoop& loop() override { return loop_; }

  // Reads at most under way at once; beyond, a read fails at once (reads that never end must
  // not use up the program's threads).
  static constexpr int kMaxReads = 8;
  // Reads under way now.
  int readsUnderWay() const;

 private:
  struct Mailbox;
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Hands the reads that ended to their callers.
  void Deliver();

  Trace& trace_;
  EventLoop& loop_;
  HWND hwnd_ = nullptr;
  std::shared_ptr<Mailbox> mail_;
  uint64_t nextRead_ = 1;
  std::map<uint64_t, std::function<void(bool, std::string)>> waiting_;
  // The wave in memory the system may be playing: kept until another sound replaces it.
  std::shared_ptr<const std::string> playing_;
};

}  // namespace unw
