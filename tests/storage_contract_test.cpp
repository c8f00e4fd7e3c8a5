// The in-memory disk keeps the real disk's contract.
#include "storage_contract.h"

#include "backends/fake/fake_storage.h"

namespace unw {
namespace {

struct FakeStorageFixture : ::testing::Test {
  FakeStorageFixture() {
    disk.folder =
        "C:\\Users\\Zo\xC3\xAB \xE5\xB1\xB1\xE7\x94\xB0\\AppData\\Local\\KORVANTE\\Unwindle";
    disk.folders.insert(ExportFolder());
  }
  Storage& storage() { return disk; }
  std::string ExportFolder() { return "C:\\Users\\Zo\xC3\xAB \xE5\xB1\xB1\xE7\x94\xB0\\Documents"; }
  bool Exists(const std::string& path) {
    return disk.files.count(path) || disk.folders.count(path);
  }
  std::string Content(const std::string& path) { return disk.files[path]; }
  void Place(const std::string& path, const std::string& content) { disk.files[path] = content; }
  void MakeReadOnly(const std::string& path) { disk.readOnly.insert(path); }
  void Lock(const std::string& path) { disk.locked.insert(path); }
  void Unlock() { disk.locked.clear(); }

  Trace trace{nullptr, ""};
  FakeStorage disk{trace};
};

using Backends = ::testing::Types<FakeStorageFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, StorageContract, Backends);

}  // namespace
}  // namespace unw
