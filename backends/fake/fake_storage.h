// An in-memory disk for the program's files: every file by its full path, the folders that
// exist, and the failures a real disk has (a folder that cannot be made, a file where the folder
// should be, read-only files and folders, a full disk) and a kill of the program at a chosen step
// of a write. Traces what it is asked (store.*, docs/TRACE.md).
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "platform/storage.h"
#include "platform/trace.h"

namespace unw {

class FakeStorage : public Storage {
 public:
  explicit FakeStorage(Trace& trace) : trace_(trace) {}

  std::string DataFolder() override { return folder; }
  StorageStatus Read(const std::string& name, std::string& content) override;
  StorageStatus ReadPieces(const std::string& name,
                           const std::function<bool(std::string_view)>& piece) override;
  StorageStatus AppendDurably(const std::string& name, uint64_t& at,
                              std::string_view bytes) override;
  StorageStatus ReplaceAtomically(const std::string& name, std::string_view bytes) override;
  StorageStatus ReplaceInPieces(const std::string& name,
                                const std::function<bool(const PieceWriter&)>& produce) override;
  StorageStatus WriteNewFile(const std::string& path, std::string_view bytes) override;

  // The full path of the data folder's file `name`.
  std::string PathOf(const std::string& name) const { return folder + "\\" + name; }

  std::string folder = "C:\\Users\\Ada\\AppData\\Local\\KORVANTE\\Unwindle";
  // The disk. Folders above the data folder exist unless a file stands in their place.
  std::map<std::string, std::string> files;
  std::set<std::string> folders;

  // The data folder cannot be made (its parent refuses).
  bool folderRefused = false;
  // Files and folders that refuse to be written (a folder: no file is made or renamed in it).
  std::set<std::string> readOnly;
  // Files another program holds without sharing: neither read nor written until it lets go.
  std::set<std::string> locked;
  // Files that are larger than kLargestRead as far as a reader can tell.
  std::set<std::string> oversized;
  // How many bytes a piece of ReadPieces holds at most.
  size_t pieceBytes = 4096;
  // What the disk still takes: a write that needs more stops where it is full.
  uint64_t freeBytes = std::numeric_limits<uint64_t>::max();
  // The program is killed at this step: Killed is thrown, and nothing of the caller runs on.
  enum class Kill { kNone, kHalfwayThroughAppend, kBetweenTempAndRename };
  Kill killAt = Kill::kNone;
  struct Killed {};

 private:
  // The data folder, made when missing.
  StorageStatus MakeFolder();
  // Writes `bytes` into `file` from `at` on and cuts what followed, as far as the disk takes them.
  StorageStatus WriteInto(std::string& file, uint64_t at, std::string_view bytes);
  bool Refuses(const std::string& path) const;
  // Why the data folder's file `path` cannot be read, or kOk.
  StorageStatus ReadStatus(const std::string& path) const;

  Trace& trace_;
};

}  // namespace unw
