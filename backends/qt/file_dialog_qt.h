// The file dialogs as QFileDialog (the toolkit's own, so the sound chooser can carry its preview
// row: "Preview:", Play, Stop); Save As for a CSV; a program is any executable file.
#pragma once

#include "platform/file_dialog.h"
#include "platform/trace.h"

namespace unw {

class QtFormView;

class QtFileDialog : public FileDialog {
 public:
  QtFileDialog(Trace& trace, QtFormView& view) : trace_(trace), view_(view) {}
  std::string ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                              const std::string& initialFile, const std::string& title,
                              SoundPreviewSink& preview) override;
  // Asked on a thread of its own: a folder that does not answer within kFolderWaitMs (a network
  // mount that is gone) is none.
  bool FolderExists(const std::string& path) override;
  static constexpr int kFolderWaitMs = 500;
  std::string ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                             const std::string& initialFile, const std::string& title) override;
  std::string ChooseProgramFile(std::uintptr_t owner, const std::string& title) override;

 private:
  Trace& trace_;
  QtFormView& view_;
};

}  // namespace unw
