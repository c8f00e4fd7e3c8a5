// A folder of the test's own under the temporary folder, named with
// characters outside every 8-bit code page, and gone with all it holds when
// the test ends.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/win32/scoped.h"
#include "platform/win32/wide_text.h"

namespace unw {

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = win32::Utf8(base) + "unwindle-Übung-ベル-" + std::to_string(GetCurrentProcessId()) +
            "-" + std::to_string(++count_);
    CreateDirectoryW(win32::Wide(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(win32::Wide(path_)), ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's full path, UTF-8, without a trailing backslash.
  const std::string& path() const { return path_; }

  // Writes a file of these bytes into the folder; returns its full path, UTF-8.
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string file = path_ + "\\" + name;
    HANDLE h = CreateFileW(win32::Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return file;
    win32::ScopedHandle owned(h);
    DWORD written = 0;
    WriteFile(owned, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return file;
  }

  // The bytes of a file in the folder; empty when it cannot be read.
  std::string Read(const std::string& name) const {
    HANDLE h = CreateFileW(win32::Wide(path_ + "\\" + name).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    win32::ScopedHandle owned(h);
    std::string bytes(GetFileSize(owned, nullptr), '\0');
    DWORD got = 0;
    ReadFile(owned, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
  }

 private:
  static inline int count_ = 0;
  std::string path_;
};

}  // namespace unw
