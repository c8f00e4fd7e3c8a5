// Registry primitives, close to the system calls so that the store's
// algorithms (sizes, types, the trailing NUL) run in the core.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

using RegKey = std::uintptr_t;

inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

inline constexpr uint32_t kKeyAllAccess = 0xF003F;
inline constexpr uint32_t kKeyWrite = 0x20006;
inline constexpr uint32_t kKeyRead = 0x20019;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorMoreData = 234;

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens `path` below `root`, creating missing keys; disposition 1 created, 2 opened.
  virtual long CreateKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key,
                           uint32_t& disposition) = 0;
  // Opens an existing key with the given access.
  virtual long OpenKeyEx(RegKey root, const std::string& path, uint32_t access, RegKey& key) = 0;
  // Opens an existing key with the default access.
  virtual long OpenKey(RegKey root, const std::string& path, RegKey& key) = 0;
  // As the system query: `size` is in bytes, in and out; when `data` is too
  // small (or null) the answer is kErrorMoreData with `size` set to the length.
  virtual long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                            uint32_t* size) = 0;
  // Stores `size` bytes of `data` with the given type.
  virtual long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                          uint32_t size) = 0;
  // Deletes a value; kErrorFileNotFound when it is missing.
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // Releases a key handle.
  virtual long CloseKey(RegKey key) = 0;
};

}  // namespace unw
