#include "platform/win32/sound_win32.h"

#include <windows.h>
#include <mmsystem.h>

namespace unw {

long Win32SoundPlayer::PlayClip(const std::string& name, uint32_t flags) {
  BOOL ok;
  if (name.empty()) {
    // No name: stop whatever is playing.
    ok = PlaySoundA(nullptr, nullptr, 0);
  } else if ((flags & kSndResource) == kSndResource) {
    // The built-in clips are "WAVE" resources of the executable itself.
    ok = PlaySoundA(name.c_str(), GetModuleHandleA(nullptr), flags);
  } else {
    ok = PlaySoundA(name.c_str(), nullptr, flags);
  }
  const long result = ok ? 1 : 0;
  trace_.Line("sound.play", {name, std::to_string(flags), std::to_string(result)});
  return result;
}

long Win32SoundPlayer::MessageBeep(uint32_t type) {
  const long result = ::MessageBeep(type) ? 1 : 0;
  trace_.Line("sound.beep", {std::to_string(type)});
  return result;
}

}  // namespace unw
