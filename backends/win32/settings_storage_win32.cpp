#include "backends/win32/settings_storage_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/workstation_win32.h"

namespace unw {

namespace {

std::string Shown(const std::string& key) {
  return "HKCU\\" + key;
}

SettingStatus StatusOf(LONG rc) {
  switch (rc) {
    case ERROR_SUCCESS:
      return SettingStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
      return SettingStatus::kMissing;
    case ERROR_ACCESS_DENIED:
      return SettingStatus::kDenied;
    default:
      return SettingStatus::kFailed;
  }
}

// Opens `key` below HKEY_CURRENT_USER for everything, making it (and tracing that) when missing.
LONG CreateKey(Trace& trace, const std::string& key, win32::ScopedKey& out) {
  HKEY h = nullptr;
  DWORD disposition = 0;
  const LONG rc =
      RegCreateKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &h, &disposition);
  if (rc != ERROR_SUCCESS) return rc;
  out.reset(h);
  if (disposition == REG_CREATED_NEW_KEY) trace.Line("reg.create", {Shown(key)});
  return rc;
}

LONG OpenKey(const std::string& key, REGSAM access, win32::ScopedKey& out) {
  HKEY h = nullptr;
  const LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, access, &h);
  if (rc == ERROR_SUCCESS) out.reset(h);
  return rc;
}

// Stores `text` as a REG_SZ with its NUL, as the characters themselves whatever the system's
// code page.
LONG WriteText(Trace& trace, const std::string& key, const std::string& name,
               const std::string& text) {
  win32::ScopedKey h;
  LONG rc = CreateKey(trace, key, h);
  if (rc != ERROR_SUCCESS) return rc;
  const std::wstring wide = win32::Wide(text);
  rc = RegSetValueExW(h, win32::Wide(name).c_str(), 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(wide.c_str()),
                      static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  if (rc == ERROR_SUCCESS) trace.Line("reg.set", {Shown(key), name, "REG_SZ", text});
  return rc;
}

LONG DeleteValue(Trace& trace, HKEY h, const std::string& key, const std::string& name) {
  const LONG rc = RegDeleteValueW(h, win32::Wide(name).c_str());
  if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)
    trace.Line("reg.delete", {Shown(key), name, rc == ERROR_SUCCESS ? "ok" : "missing"});
  return rc;
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

SettingStatus Win32SettingsStorage::Read(const std::string& name, std::string& text) {
  win32::ScopedKey h;
  LONG rc = CreateKey(trace_, key_, h);
  // A key the user may read but not write still has its values to read.
  if (rc == ERROR_ACCESS_DENIED) rc = OpenKey(key_, KEY_READ, h);
  if (rc != ERROR_SUCCESS) return StatusOf(rc);
  const std::wstring wideName = win32::Wide(name);
  DWORD type = 0, size = 0;
  rc = RegQueryValueExW(h, wideName.c_str(), nullptr, &type, nullptr, &size);
  std::vector<BYTE> stored;
  while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    // Text is measured in UTF-8, at least a byte for each UTF-16 unit.
    if ((IsText(type) ? size / sizeof(wchar_t) : size) > kLargestSettingBytes)
      return SettingStatus::kFailed;
    stored.resize(size);
    DWORD got = size;
    rc = RegQueryValueExW(h, wideName.c_str(), nullptr, &type, stored.data(), &got);
    size = got;  // larger when the value grew since it was measured: once more
    if (rc == ERROR_SUCCESS) {
      stored.resize(got);
      break;
    }
  }
  if (rc != ERROR_SUCCESS) return StatusOf(rc);
  std::string bytes;
  if (IsText(type)) {
    // An odd last byte is no UTF-16 unit: it is left out.
    std::wstring units(stored.size() / sizeof(wchar_t), L'\0');
    std::memcpy(units.data(), stored.data(), units.size() * sizeof(wchar_t));
    bytes = win32::Utf8(units);
  } else {
    bytes.assign(stored.begin(), stored.end());
  }
  if (bytes.size() > kLargestSettingBytes) return SettingStatus::kFailed;
  if (type == REG_DWORD && bytes.size() == 4) {
    // Another tool may store a number as a DWORD: read it as that number.
    uint32_t v = 0;
    std::memcpy(&v, bytes.data(), 4);
    text = std::to_string(v);
  } else {
    // The text ends at its NUL; a value stored without one keeps every character.
    text = bytes.substr(0, bytes.find('\0'));
  }
  return SettingStatus::kOk;
}

SettingStatus Win32SettingsStorage::Write(const std::string& name, const std::string& text) {
  return StatusOf(WriteText(trace_, key_, name, text));
}

SettingStatus Win32SettingsStorage::Remove(const std::string& name) {
  win32::ScopedKey h;
  const LONG rc = OpenKey(key_, KEY_WRITE, h);
  if (rc != ERROR_SUCCESS) return StatusOf(rc);
  return StatusOf(DeleteValue(trace_, h, key_, name));
}

bool Win32StartupLaunch::TurnOn() {
  const std::string program = win32::Utf8(win32::ProgramFile());
  return WriteText(trace_, key_, value_, LaunchCommand(FolderOf(program), BaseNameOf(program))) ==
         ERROR_SUCCESS;
}

bool Win32StartupLaunch::TurnOff() {
  // An entry (or a key) that is not there is as good as deleted.
  win32::ScopedKey h;
  const LONG rc = OpenKey(key_, KEY_WRITE, h);
  if (rc == ERROR_FILE_NOT_FOUND) return true;
  if (rc != ERROR_SUCCESS) return false;
  const LONG deleted = DeleteValue(trace_, h, key_, value_);
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool Win32StartupLaunch::IsOn() {
  win32::ScopedKey h;
  if (OpenKey(key_, KEY_READ, h) != ERROR_SUCCESS) return false;
  return RegQueryValueExW(h, win32::Wide(value_).c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

std::string LaunchCommand(const std::string& folder, const std::string& exeName) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return "\"" + dir + exeName + ".exe\"";
}

}  // namespace unw
