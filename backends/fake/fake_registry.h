// An in-memory registry that keeps each value's type and raw bytes, can be
// made unavailable, and traces its writes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/trace.h"

namespace unw {

class FakeRegistry : public Registry {
 public:
  explicit FakeRegistry(Trace& trace) : trace_(trace) {}

  long CreateKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key,
                   uint32_t& disposition) override;
  long OpenKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key) override;
  long OpenKey(RegKey root, const std::string& path, RegKey& key) override;
  long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                    uint32_t* size) override;
  long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                  uint32_t size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long CloseKey(RegKey key) override;

  // Every call fails with access denied while unavailable.
  void SetUnavailable(bool on) { unavailable_ = on; }
  // The user may read but not write: writes, deletes and opening for writing are denied.
  void SetReadOnly(bool on) { readOnly_ = on; }

  // Direct access for tests, paths relative to the root, names case-insensitive.
  void Plant(RegKey root, const std::string& path, const std::string& name, uint32_t type,
             std::vector<uint8_t> bytes);
  void PlantText(RegKey root, const std::string& path, const std::string& name,
                 const std::string& text);  // REG_SZ with its NUL
  std::optional<std::string> Text(RegKey root, const std::string& path,
                                  const std::string& name) const;  // raw bytes as text
  std::optional<uint32_t> Type(RegKey root, const std::string& path, const std::string& name) const;
  bool KeyExists(RegKey root, const std::string& path) const;
  size_t ValueCount(RegKey root, const std::string& path) const;
  // Handles opened and not yet closed.
  size_t OpenHandles() const { return handles_.size(); }
  // Access mask of the last OpenKeyEx.
  uint32_t lastOpenAccess = 0;
  // Counts of writes and deletes carried out.
  int writes() const { return writes_; }

 private:
  struct Value {
    std::string name;  // as first written
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
  };
  using Key = std::map<std::string, Value>;  // by lower-case name
  static std::string Lower(const std::string& s);
  static std::string FullPath(RegKey root, const std::string& path);
  const Value* Find(RegKey root, const std::string& path, const std::string& name) const;
  long Open(RegKey root, const std::string& path, bool create, uint32_t access, RegKey& key,
            uint32_t* disp);

  Trace& trace_;
  std::map<std::string, Key> keys_;           // by lower-case full path
  std::map<RegKey, std::string> handles_;     // open handle -> full path
  std::map<std::string, std::string> shown_;  // lower-case full path -> as written
  RegKey nextHandle_ = 0x100;
  bool unavailable_ = false;
  bool readOnly_ = false;
  int writes_ = 0;
};

}  // namespace unw
