// The system's file-open dialog for a sound file, with a preview row
// ("Preview:", Play, Stop) added below its own controls by a hook; and plain, for a program.
#pragma once

#include "platform/file_dialog.h"
#include "platform/trace.h"

namespace unw {

// FileDialog service over GetOpenFileNameW.
class Win32FileDialog : public FileDialog {
 public:
  explicit Win32FileDialog(Trace& trace) : trace_(trace) {}
  std::string ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                              const std::string& initialFile, const std::string& title,
                              SoundPreviewSink& preview) override;
  std::string ChooseProgramFile(std::uintptr_t owner, const std::string& title) override;

 private:
  Trace& trace_;
};

}  // namespace unw
