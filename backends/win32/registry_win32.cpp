#include "backends/win32/registry_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "backends/win32/wide_text.h"

namespace unw {

namespace {

// The interface's root values are the 32-bit constants; on 64-bit Windows
// the predefined HKEYs are those values sign-extended, so map them by hand.
HKEY ToHkey(RegKey key) {
  if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
  if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) {
  return reinterpret_cast<RegKey>(key);
}

// The types whose data the system keeps as UTF-16 text (the ones the 8-bit
// calls convert).
bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The whole of a value as stored, however long it has grown since its size was asked.
LONG ReadValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    data.resize(size);
    DWORD got = size;
    rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got);
    if (rc == ERROR_SUCCESS) {
      data.resize(got);
      return rc;
    }
    size = got;
  }
  return rc;
}

}  // namespace

std::string Win32Registry::FullPath(RegKey root, const std::string& path) const {
  std::string base;
  if (root == kHkeyCurrentUser) {
    base = "HKCU";
  } else if (root == kHkeyLocalMachine) {
    base = "HKLM";
  } else {
    auto it = paths_.find(root);
    base = it == paths_.end() ? "?" : it->second;
  }
  return path.empty() ? base : base + "\\" + path;
}

void Win32Registry::Remember(RegKey key, RegKey root, const std::string& path) {
  paths_[key] = FullPath(root, path);
}

long Win32Registry::CreateKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key,
                                uint32_t& disposition) {
  HKEY h = nullptr;
  DWORD disp = 0;
  LONG rc = RegCreateKeyExW(ToHkey(root), win32::Wide(path).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, access, nullptr, &h, &disp);
  if (rc != ERROR_SUCCESS) return rc;
  key = FromHkey(h);
  disposition = disp;
  Remember(key, root, path);
  if (disp == REG_CREATED_NEW_KEY) trace_.Line("reg.create", {paths_[key]});
  return rc;
}

long Win32Registry::OpenKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExW(ToHkey(root), win32::Wide(path).c_str(), 0, access, &h);
  if (rc != ERROR_SUCCESS) return rc;
  key = FromHkey(h);
  Remember(key, root, path);
  return rc;
}

long Win32Registry::OpenKey(RegKey root, const std::string& path, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyW(ToHkey(root), win32::Wide(path).c_str(), &h);
  if (rc != ERROR_SUCCESS) return rc;
  key = FromHkey(h);
  Remember(key, root, path);
  return rc;
}

long Win32Registry::QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                 uint32_t* size) {
  DWORD t = 0;
  std::vector<BYTE> stored;
  const LONG rc = ReadValue(ToHkey(key), win32::Wide(name), t, stored);
  if (rc != ERROR_SUCCESS) return rc;
  if (type) *type = t;
  // Text reaches the core as UTF-8, measured in UTF-8 bytes, with exactly the
  // NULs it was stored with; every other type byte for byte.
  std::string text;
  if (IsText(t)) {
    // An odd last byte is no UTF-16 unit: it is left out, as the 8-bit call does.
    std::wstring units(stored.size() / sizeof(wchar_t), L'\0');
    std::memcpy(units.data(), stored.data(), units.size() * sizeof(wchar_t));
    text = win32::Utf8(units);
  } else {
    text.assign(stored.begin(), stored.end());
  }
  const auto n = static_cast<uint32_t>(text.size());
  if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (data && *size < n) {
    *size = n;
    return ERROR_MORE_DATA;
  }
  if (data && n) std::memcpy(data, text.data(), n);
  *size = n;
  return ERROR_SUCCESS;
}

long Win32Registry::SetValueEx(RegKey key, const std::string& name, uint32_t type,
                               const uint8_t* data, uint32_t size) {
  const std::wstring wideName = win32::Wide(name);
  LONG rc;
  if (IsText(type)) {
    // Stored as the characters themselves, whatever the system's code page,
    // with the NULs the core gave. The system counts a NUL that follows the
    // data as its end (for callers that forgot it): the unit after the text
    // is not one, so that a text without a NUL stays without.
    std::wstring text =
        win32::Wide(std::string_view(reinterpret_cast<const char*>(data), data ? size : 0));
    const auto bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    text.push_back(L'?');
    rc = RegSetValueExW(ToHkey(key), wideName.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(text.c_str()), bytes);
  } else {
    rc = RegSetValueExW(ToHkey(key), wideName.c_str(), 0, type, data, size);
  }
  if (rc == ERROR_SUCCESS && trace_.on()) {
    std::string text(reinterpret_cast<const char*>(data), data ? size : 0);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    trace_.Line("reg.set", {FullPath(key, ""), name, type == kRegSz ? "REG_SZ" : "other", text});
  }
  return rc;
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  LONG rc = RegDeleteValueW(ToHkey(key), win32::Wide(name).c_str());
  if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)
    trace_.Line("reg.delete", {FullPath(key, ""), name, rc == ERROR_SUCCESS ? "ok" : "missing"});
  return rc;
}

long Win32Registry::CloseKey(RegKey key) {
  paths_.erase(key);
  // The predefined roots are never closed: they belong to the system.
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return ERROR_SUCCESS;
  return RegCloseKey(ToHkey(key));
}

}  // namespace unw
