#include "platform/win32/sound_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/scoped.h"
#include "platform/win32/wide_text.h"

namespace unw {

namespace {

// A sound library may open the file through the 8-bit code page (Wine's
// does), where a name outside it is not found. The file's short (8.3) alias
// names the same file in plain ASCII; a name the code page holds, or a file
// system without short names, keeps the name as it is.
std::wstring PlayableFileName(const std::wstring& path) {
  if (GetACP() == CP_UTF8) return path;
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()),
                      nullptr, 0, nullptr, &lost);
  if (!lost) return path;
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring alias(size, L'\0');
  const DWORD n = GetShortPathNameW(path.c_str(), alias.data(), size);
  if (n == 0 || n >= size) return path;
  alias.resize(n);
  return alias;
}

}  // namespace

long Win32SoundPlayer::PlayClip(const std::string& name, uint32_t flags) {
  BOOL ok;
  if (name.empty()) {
    // No name: stop whatever is playing.
    ok = PlaySoundW(nullptr, nullptr, 0);
  } else if ((flags & kSndResource) == kSndResource) {
    // The built-in clips are "WAVE" resources of the executable itself.
    ok = PlaySoundW(win32::Wide(name).c_str(), GetModuleHandleW(nullptr), flags);
  } else {
    ok = PlaySoundW(PlayableFileName(win32::Wide(name)).c_str(), nullptr, flags);
  }
  const long result = ok ? 1 : 0;
  trace_.Line("sound.play", {name, std::to_string(flags), std::to_string(result)});
  return result;
}

bool Win32SoundPlayer::ReadFileStart(const std::string& path, size_t maxBytes, std::string& bytes) {
  if (path.empty()) return false;
  HANDLE opened =
      CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  win32::ScopedHandle file(opened);
  bytes.resize(maxBytes);
  DWORD got = 0;
  const bool ok = ReadFile(file.get(), bytes.data(), static_cast<DWORD>(maxBytes), &got, nullptr);
  bytes.resize(ok ? got : 0);
  return ok;
}

long Win32SoundPlayer::MessageBeep(uint32_t type) {
  const long result = ::MessageBeep(type) ? 1 : 0;
  trace_.Line("sound.beep", {std::to_string(type)});
  return result;
}

}  // namespace unw
