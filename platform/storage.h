// The program's own files: a data folder per user (%LOCALAPPDATA%\KORVANTE\Unwindle on Windows)
// whose files are appended to and replaced so that a crash or a power cut never leaves one half
// old and half new, and files the user asked for elsewhere (an export).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace unw {

enum class StorageStatus {
  kOk,
  kNotFound,    // reading: there is no such file (yet)
  kNoFolder,    // the folder cannot be made or found
  kNotAFolder,  // a file stands where the folder should be
  kReadOnly,    // the file or folder refuses to be written
  kDiskFull,
  kLocked,    // another program holds the file and shares it with nobody
  kTooLarge,  // reading: the file is larger than kLargestRead
  kFailed,    // anything else
};

// The trace's word for a status.
inline const char* StorageStatusName(StorageStatus s) {
  switch (s) {
    case StorageStatus::kOk:
      return "ok";
    case StorageStatus::kNotFound:
      return "notfound";
    case StorageStatus::kNoFolder:
      return "nofolder";
    case StorageStatus::kNotAFolder:
      return "notafolder";
    case StorageStatus::kReadOnly:
      return "readonly";
    case StorageStatus::kDiskFull:
      return "diskfull";
    case StorageStatus::kLocked:
      return "locked";
    case StorageStatus::kTooLarge:
      return "toolarge";
    case StorageStatus::kFailed:
      return "failed";
  }
  return "?";
}

// A file larger than this is not read (kTooLarge): no history grows so large, and holding it
// would cost the program its memory.
inline constexpr uint64_t kLargestRead = uint64_t{1} << 30;

class Storage {
 public:
  virtual ~Storage() = default;
  // The data folder's full path, UTF-8; made only when a file is first written into it.
  virtual std::string DataFolder() = 0;
  // The whole content of the data folder's file `name`.
  virtual StorageStatus Read(const std::string& name, std::string& content) = 0;
  // The content of the data folder's file `name` in pieces, in order, each given to `piece` as it
  // is read (a piece ends anywhere, a line may go on in the next), so that a file of any size up
  // to kLargestRead costs only a piece of memory. `piece` returns false to stop early (kOk). The
  // file is shared for reading with a writer, as by Read.
  virtual StorageStatus ReadPieces(const std::string& name,
                                   const std::function<bool(std::string_view)>& piece) = 0;
  // Writes `bytes` into the data folder's file `name` (the folder and the file are made when
  // missing) from byte `at` on, or from its end when the file is shorter, drops whatever followed
  // (what a write torn by a crash left), and returns once the bytes are on the disk; `at` is then
  // where they end.
  virtual StorageStatus AppendDurably(const std::string& name, uint64_t& at,
                                      std::string_view bytes) = 0;
  // Replaces the data folder's file `name` with `bytes` so that a crash at any moment leaves either
  // the old file or the new one: the temporary file `name` + ".new" beside it (one left by a crash
  // is written over) is written, flushed and renamed over it.
  virtual StorageStatus ReplaceAtomically(const std::string& name, std::string_view bytes) = 0;
  // ReplaceAtomically with bytes that come in pieces, so that a file of any size costs only a
  // piece of memory: `produce(write)` calls `write(piece)` for each piece in order (write returns
  // false once the disk refuses) and returns false to give up, which leaves the old file as it is
  // (kFailed, unless the disk refused first).
  using PieceWriter = std::function<bool(std::string_view)>;
  virtual StorageStatus ReplaceInPieces(const std::string& name,
                                        const std::function<bool(const PieceWriter&)>& produce) = 0;
  // Writes `bytes` as the file at the full path `path` (one the user chose), replacing one there.
  virtual StorageStatus WriteNewFile(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace unw
