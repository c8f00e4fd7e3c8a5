// The system's file-open dialog for a sound file, with a preview row
// ("Preview:", Play, Stop) added below its own controls by a hook; plain, for a program; its Save
// As dialog for a CSV.
#pragma once

#include "platform/file_dialog.h"
#include "platform/trace.h"

namespace unw {

// FileDialog service over GetOpenFileNameW and GetSaveFileNameW.
class Win32FileDialog : public FileDialog {
 public:
  explicit Win32FileDialog(Trace& trace) : trace_(trace) {}
  std::string ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                              const std::string& initialFile, const std::string& title,
                              SoundPreviewSink& preview) override;
  // Asked on a thread of its own: a folder that does not answer within kFolderWaitMs (a share
  // that is gone) is none.
  bool FolderExists(const std::string& path) override;

  static constexpr int kFolderWaitMs = 500;
  std::string ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                             const std::string& initialFile, const std::string& title) override;
  std::string ChooseProgramFile(std::uintptr_t owner, const std::string& title) override;

 private:
  Trace& trace_;
};

}  // namespace unw
