// The program's sounds: built-in clips from its resources and sound files
// through PlaySoundW, and the system's message beeps.
#pragma once

#include "platform/sound.h"
#include "platform/trace.h"

namespace unw {

// SoundPlayer service over winmm and user32.
class Win32SoundPlayer : public SoundPlayer {
 public:
  explicit Win32SoundPlayer(Trace& trace) : trace_(trace) {}
  long PlayClip(const std::string& name, uint32_t flags) override;
  long MessageBeep(uint32_t type) override;
  bool ReadFileStart(const std::string& path, size_t maxBytes, std::string& bytes) override;

 private:
  Trace& trace_;
};

}  // namespace unw
