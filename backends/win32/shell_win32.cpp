#include "backends/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/workstation_win32.h"

namespace unw {

namespace {

// An empty text is passed as null, as the system's default.
const wchar_t* OrNull(const std::wstring& s) {
  return s.empty() ? nullptr : s.c_str();
}

// The text of a value below HKEY_LOCAL_MACHINE, read with read access only (all access fails for
// every user without administrator rights); none when the key or the value is missing. A value
// that is not text reads as an empty text.
std::optional<std::string> MachineText(const wchar_t* key, const wchar_t* value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  const win32::ScopedKey scoped(opened);
  std::vector<wchar_t> buf(1024, L'\0');
  DWORD type = 0, size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  if (RegQueryValueExW(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ) return std::string();
  return win32::FieldText(buf.data(), std::min<size_t>(size / sizeof(wchar_t), buf.size()));
}

}  // namespace

bool Win32Shell::OpenWebPage(std::uintptr_t owner, const std::string& url) {
  // Without a browser that takes it, the Explorer is asked to open the page.
  const std::string folder = FolderOf(win32::Utf8(win32::ProgramFile()));
  if (Execute(owner, "Open", url, "", folder, SW_SHOWMAXIMIZED) > 32) return true;
  return RunProgram("explorer.exe " + url, SW_SHOWMAXIMIZED);
}

bool Win32Shell::OpenSystemInformation() {
  // Where the tool says it is, else the file in the shared tools' folder.
  std::optional<std::string> path =
      MachineText(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH");
  if (!path) {
    const std::optional<std::string> folder =
        MachineText(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO");
    if (!folder || !FileExists(*folder + "\\MSINFO32.EXE")) return false;
    path = *folder + "\\MSINFO32.EXE";
  }
  return RunProgram(*path, SW_SHOWNORMAL);
}

std::intptr_t Win32Shell::Execute(std::uintptr_t hwnd, const std::string& verb,
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
