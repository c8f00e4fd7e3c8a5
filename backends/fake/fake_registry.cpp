#include "backends/fake/fake_registry.h"

#include <algorithm>
#include <cstring>

namespace unw {

std::string FakeRegistry::Lower(const std::string& s) {
  std::string l = s;
  std::transform(l.begin(), l.end(), l.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return l;
}

std::string FakeRegistry::FullPath(RegKey root, const std::string& path) {
  std::string r = root == kHkeyCurrentUser ? "HKCU" : root == kHkeyLocalMachine ? "HKLM" : "?";
  return path.empty() ? r : r + "\\" + path;
}

long FakeRegistry::Open(RegKey root, const std::string& path, bool create, uint32_t access,
                        RegKey& key, uint32_t* disp) {
  if (unavailable_) return kErrorAccessDenied;
  // KEY_SET_VALUE or KEY_CREATE_SUB_KEY: what a read-only key refuses.
  const bool writing = (access & 0x6) != 0;
  std::string full;
  if (root == kHkeyCurrentUser || root == kHkeyLocalMachine) {
    full = FullPath(root, path);
  } else {
    auto h = handles_.find(root);
    if (h == handles_.end()) return kErrorInvalidHandle;
    full = path.empty() ? h->second : h->second + "\\" + path;
  }
  std::string low = Lower(full);
  bool exists = keys_.count(low) > 0;
  if (!exists && !create) return kErrorFileNotFound;
  if (readOnly_ && (writing || !exists)) return kErrorAccessDenied;
  if (!exists) {
    // Parents come into being with the key, as on the real system.
    for (size_t p = low.find('\\'); p != std::string::npos; p = low.find('\\', p + 1)) {
      keys_.try_emplace(low.substr(0, p));
      shown_.try_emplace(low.substr(0, p), full.substr(0, p));
    }
    keys_[low];
    shown_[low] = full;
    trace_.Line("reg.create", {full});
  }
  if (disp) *disp = exists ? 2 : 1;
  key = nextHandle_++;
  handles_[key] = low;
  return kErrorSuccess;
}

long FakeRegistry::CreateKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key,
                               uint32_t& disposition) {
  return Open(root, path, true, access, key, &disposition);
}

long FakeRegistry::OpenKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key) {
  lastOpenAccess = access;
  return Open(root, path, false, access, key, nullptr);
}

long FakeRegistry::OpenKey(RegKey root, const std::string& path, RegKey& key) {
  return Open(root, path, false, kKeyRead, key, nullptr);
}

long FakeRegistry::QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                uint32_t* size) {
  if (unavailable_) return kErrorAccessDenied;
  auto h = handles_.find(key);
  if (h == handles_.end()) return kErrorInvalidHandle;
  const Key& k = keys_[h->second];
  auto v = k.find(Lower(name));
  if (v == k.end()) return kErrorFileNotFound;
  if (type) *type = v->second.type;
  const uint32_t n = static_cast<uint32_t>(v->second.bytes.size());
  if (!size) return data ? kErrorInvalidHandle : kErrorSuccess;
  if (!data) {
    *size = n;
    return kErrorSuccess;
  }
  if (*size < n) {
    *size = n;
    return kErrorMoreData;
  }
  if (n) std::memcpy(data, v->second.bytes.data(), n);
  *size = n;
  return kErrorSuccess;
}

long FakeRegistry::SetValueEx(RegKey key, const std::string& name, uint32_t type,
                              const uint8_t* data, uint32_t size) {
  if (unavailable_ || readOnly_) return kErrorAccessDenied;
  auto h = handles_.find(key);
  if (h == handles_.end()) return kErrorInvalidHandle;
  Value& v = keys_[h->second][Lower(name)];
  if (v.name.empty()) v.name = name;
  v.type = type;
  v.bytes.assign(data, data + size);
  ++writes_;
  std::string text(v.bytes.begin(), v.bytes.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  trace_.Line("reg.set", {shown_[h->second], name, type == kRegSz ? "REG_SZ" : "other", text});
  return kErrorSuccess;
}

long FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  if (unavailable_ || readOnly_) return kErrorAccessDenied;
  auto h = handles_.find(key);
  if (h == handles_.end()) return kErrorInvalidHandle;
  long rc = keys_[h->second].erase(Lower(name)) ? kErrorSuccess : kErrorFileNotFound;
  if (rc == kErrorSuccess) ++writes_;
  trace_.Line("reg.delete", {shown_[h->second], name, rc == kErrorSuccess ? "ok" : "missing"});
  return rc;
}

long FakeRegistry::CloseKey(RegKey key) {
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

void FakeRegistry::Plant(RegKey root, const std::string& path, const std::string& name,
                         uint32_t type, std::vector<uint8_t> bytes) {
  std::string full = FullPath(root, path);
  std::string low = Lower(full);
  shown_.try_emplace(low, full);
  Value& v = keys_[low][Lower(name)];
  v.name = name;
  v.type = type;
  v.bytes = std::move(bytes);
}

void FakeRegistry::PlantText(RegKey root, const std::string& path, const std::string& name,
                             const std::string& text) {
  std::vector<uint8_t> b(text.begin(), text.end());
  b.push_back(0);
  Plant(root, path, name, kRegSz, std::move(b));
}

const FakeRegistry::Value* FakeRegistry::Find(RegKey root, const std::string& path,
                                              const std::string& name) const {
  auto k = keys_.find(Lower(FullPath(root, path)));
  if (k == keys_.end()) return nullptr;
  auto v = k->second.find(Lower(name));
  return v == k->second.end() ? nullptr : &v->second;
}

std::optional<std::string> FakeRegistry::Text(RegKey root, const std::string& path,
                                              const std::string& name) const {
  const Value* v = Find(root, path, name);
  if (!v) return std::nullopt;
  std::string t(v->bytes.begin(), v->bytes.end());
  if (!t.empty() && t.back() == '\0') t.pop_back();
  return t;
}

std::optional<uint32_t> FakeRegistry::Type(RegKey root, const std::string& path,
                                           const std::string& name) const {
  const Value* v = Find(root, path, name);
  return v ? std::optional<uint32_t>(v->type) : std::nullopt;
}

bool FakeRegistry::KeyExists(RegKey root, const std::string& path) const {
  return keys_.count(Lower(FullPath(root, path))) > 0;
}

size_t FakeRegistry::ValueCount(RegKey root, const std::string& path) const {
  auto k = keys_.find(Lower(FullPath(root, path)));
  return k == keys_.end() ? 0 : k->second.size();
}

}  // namespace unw
