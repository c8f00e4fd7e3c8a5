// The program's files on a Linux disk: the data folder $XDG_DATA_HOME/KORVANTE/Unwindle (made on
// demand), lines flushed with fsync, replacement by a flushed temporary file renamed over the old
// one. Linux has no file that another program holds shut; the closest is the advisory lock that
// programs agree on: the program reads and writes its files under a shared flock, and a file that
// another program holds under an exclusive one is "locked" until it lets go.
#pragma once

#include <string>

#include "platform/storage.h"
#include "platform/trace.h"

namespace unw {

class LinuxStorage : public Storage {
 public:
  // `folder` empty: $XDG_DATA_HOME/KORVANTE/Unwindle.
  explicit LinuxStorage(Trace& trace, std::string folder = "");

  std::string DataFolder() override { return folder_; }
  StorageStatus Read(const std::string& name, std::string& content) override;
  StorageStatus ReadPieces(const std::string& name,
                           const std::function<bool(std::string_view)>& piece) override;
  StorageStatus AppendDurably(const std::string& name, uint64_t& at,
                              std::string_view bytes) override;
  StorageStatus ReplaceAtomically(const std::string& name, std::string_view bytes) override;
  StorageStatus ReplaceInPieces(const std::string& name,
                                const std::function<bool(const PieceWriter&)>& produce) override;
  StorageStatus WriteNewFile(const std::string& path, std::string_view bytes) override;

 private:
  StorageStatus Replace(const std::string& name, size_t size,
                        const std::function<bool(const PieceWriter&)>& produce);
  std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

  Trace& trace_;
  std::string folder_;
};

}  // namespace unw
