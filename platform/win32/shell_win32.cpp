#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/win32_util.h"

// The header maps the name onto ShellExecuteA; here it names the service's call.
#undef ShellExecute

namespace unw {

namespace {

const char* OrNull(const std::string& s) {
  return s.empty() ? nullptr : s.c_str();
}

}  // namespace

std::intptr_t Win32Shell::ShellExecute(std::uintptr_t hwnd, const std::string& verb,
                                       const std::string& file, const std::string& parameters,
                                       const std::string& directory, int show) {
  trace_.Line("shell.execute", {verb, file, std::to_string(show)});
  HWND owner = win32::AsHwnd(hwnd);
  if (owner && !IsWindow(owner)) owner = nullptr;
  HINSTANCE r =
      ShellExecuteA(owner, OrNull(verb), file.c_str(), OrNull(parameters), OrNull(directory), show);
  return reinterpret_cast<std::intptr_t>(r);
}

bool Win32Shell::RunProgram(const std::string& commandLine, int show) {
  trace_.Line("shell.run", {commandLine, std::to_string(show)});
  // CreateProcessA may write into the command line it is given.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool Win32Shell::FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Shell::ProgramVersion(int& major, int& minor) {
  char path[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return false;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof *info || info->dwSignature != 0xFEEF04BD)
    return false;
  major = static_cast<int>(HIWORD(info->dwFileVersionMS));
  minor = static_cast<int>(LOWORD(info->dwFileVersionMS));
  return true;
}

}  // namespace unw
