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

bool Win32SoundPlayer::ReadFileStart(const std::string& path, size_t maxBytes, std::string& bytes) {
  // The path is UTF-8: open it by its wide name, whatever the system's code page.
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (path.empty() || n <= 0) return false;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.resize(maxBytes);
  DWORD got = 0;
  const bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(maxBytes), &got, nullptr);
  CloseHandle(file);
  bytes.resize(ok ? got : 0);
  return ok;
}

long Win32SoundPlayer::MessageBeep(uint32_t type) {
  const long result = ::MessageBeep(type) ? 1 : 0;
  trace_.Line("sound.beep", {std::to_string(type)});
  return result;
}

}  // namespace unw
