#include "backends/win32/workstation_win32.h"

#include <windows.h>

#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

namespace unw {

long Win32Workstation::LockWorkStation() {
  // Wine answers FALSE (not implemented); the caller goes on either way.
  long rc = ::LockWorkStation() ? 1 : 0;
  trace_.Line("lock", {std::to_string(rc)});
  return rc;
}

void Win32Workstation::StartScreenSaver(std::uintptr_t window) {
  // Traced before the call: the system may start the saver before it returns.
  trace_.Line("screensaver", {std::to_string(window)});
  // The system starts the configured saver when a window passes it this command; Wine ignores it.
  SendMessageW(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

unsigned Win32Workstation::GetCaretBlinkTime() {
  return ::GetCaretBlinkTime();
}

std::string Win32Workstation::AppPath() {
  return FolderOf(win32::Utf8(win32::ProgramFile()));
}

std::string Win32Workstation::AppExeName() {
  return BaseNameOf(win32::Utf8(win32::ProgramFile()));
}

std::string FolderOf(const std::string& fullPath) {
  size_t slash = fullPath.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  std::string folder = fullPath.substr(0, slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::string BaseNameOf(const std::string& fullPath) {
  size_t slash = fullPath.find_last_of("\\/");
  std::string name = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace unw
