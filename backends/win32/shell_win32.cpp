#include "backends/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

// The header maps the name onto ShellExecuteA; here it names the service's call.
#undef ShellExecute

namespace unw {

namespace {

// An empty text is passed as null, as the system's default.
const wchar_t* OrNull(const std::wstring& s) {
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
      ShellExecuteW(owner, OrNull(win32::Wide(verb)), win32::Wide(file).c_str(),
                    OrNull(win32::Wide(parameters)), OrNull(win32::Wide(directory)), show);
  return reinterpret_cast<std::intptr_t>(r);
}

bool Win32Shell::RunProgram(const std::string& commandLine, int show) {
  trace_.Line("shell.run", {commandLine, std::to_string(show)});
  // CreateProcessW may write into the command line it is given.
  std::wstring line = win32::Wide(commandLine);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  // The program runs on by itself: its handles are not needed.
  win32::ScopedHandle process(pi.hProcess), thread(pi.hThread);
  return true;
}

bool Win32Shell::FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(win32::Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Shell::ProgramVersion(int& major, int& minor) {
  const std::wstring path = win32::ProgramFile();
  if (path.empty()) return false;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof *info || info->dwSignature != 0xFEEF04BD)
    return false;
  major = static_cast<int>(HIWORD(info->dwFileVersionMS));
  minor = static_cast<int>(LOWORD(info->dwFileVersionMS));
  return true;
}

}  // namespace unw
