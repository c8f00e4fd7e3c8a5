#include "platform/win32/registry_win32.h"

#include <windows.h>

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
  LONG rc = RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                            nullptr, &h, &disp);
  if (rc != ERROR_SUCCESS) return rc;
  key = FromHkey(h);
  disposition = disp;
  Remember(key, root, path);
  if (disp == REG_CREATED_NEW_KEY) trace_.Line("reg.create", {paths_[key]});
  return rc;
}

long Win32Registry::OpenKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExA(ToHkey(root), path.c_str(), 0, access, &h);
  if (rc != ERROR_SUCCESS) return rc;
  key = FromHkey(h);
  Remember(key, root, path);
  return rc;
}

long Win32Registry::OpenKey(RegKey root, const std::string& path, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyA(ToHkey(root), path.c_str(), &h);
  if (rc != ERROR_SUCCESS) return rc;
  key = FromHkey(h);
  Remember(key, root, path);
  return rc;
}

long Win32Registry::QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                 uint32_t* size) {
  // DWORD is unsigned long, a type of its own: go through locals.
  DWORD t = 0;
  DWORD n = size ? *size : 0;
  LONG rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, type ? &t : nullptr, data,
                             size ? &n : nullptr);
  if (type) *type = t;
  if (size) *size = n;
  return rc;
}

long Win32Registry::SetValueEx(RegKey key, const std::string& name, uint32_t type,
                               const uint8_t* data, uint32_t size) {
  LONG rc = RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
  if (rc == ERROR_SUCCESS && trace_.on()) {
    std::string text(reinterpret_cast<const char*>(data), data ? size : 0);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    trace_.Line("reg.set", {FullPath(key, ""), name, type == kRegSz ? "REG_SZ" : "other", text});
  }
  return rc;
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  LONG rc = RegDeleteValueA(ToHkey(key), name.c_str());
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
