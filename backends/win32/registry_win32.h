// The registry service over advapi32: each primitive is the wide-character
// system call of the same name, with names, paths and texts converted between
// the core's UTF-8 and the system's UTF-16; the writes are traced with full
// key paths.
#pragma once

#include <map>
#include <string>

#include "platform/registry.h"
#include "platform/trace.h"

namespace unw {

// Registry service: advapi32 calls, writes traced with full paths. A text
// value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is given to the core as its
// UTF-8 bytes, sized in them, as the 8-bit calls would on a UTF-8 system.
class Win32Registry : public Registry {
 public:
  explicit Win32Registry(Trace& trace) : trace_(trace) {}

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

 private:
  // "HKCU\Software\..." for a root and a path below it (roots may be open keys).
  std::string FullPath(RegKey root, const std::string& path) const;
  void Remember(RegKey key, RegKey root, const std::string& path);

  Trace& trace_;
  std::map<RegKey, std::string> paths_;  // open handle -> full path, for the trace
};

}  // namespace unw
