// The program's files on the real disk: the data folder %LOCALAPPDATA%\KORVANTE\Unwindle (made on
// demand), lines flushed with FlushFileBuffers, replacement by a flushed temporary file renamed
// with MoveFileExW. Paths are UTF-8 inside and UTF-16 at the calls.
#pragma once

#include <string>

#include "platform/storage.h"
#include "platform/trace.h"

namespace unw {

class Win32Storage : public Storage {
 public:
  // `folder` empty: the user's %LOCALAPPDATA%\KORVANTE\Unwindle.
  explicit Win32Storage(Trace& trace, std::string folder = "");

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
  // The data folder and every folder above it that is missing.
  StorageStatus MakeFolder();
  // ReplaceAtomically's work: `size` is for the trace (0: what was written).
  StorageStatus Replace(const std::string& name, size_t size,
                        const std::function<bool(const PieceWriter&)>& produce);

  Trace& trace_;
  std::string folder_;
};

}  // namespace unw
