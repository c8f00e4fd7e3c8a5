// Choosing a custom sound file, with a preview of the selected file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_dialog.h"

namespace unw {

class AlertSounds;

// The chooser and its preview row: plays or stops the file selected in it.
class SoundChooser : public SoundPreviewSink {
 public:
  SoundChooser(FileDialog& files, AlertSounds& sounds) : files_(files), sounds_(sounds) {}
  void SelectionChanged(const std::string& path) override;
  void PlayPressed() override { PlayPreviewSound(); }
  void StopPressed() override { StopPreviewSound(); }
  void Closing() override { StopPreviewSound(); }

  void PlayPreviewSound();
  void StopPreviewSound();
  // The last file selected in a chooser; kept after it closes.
  const std::string& strPreviewFile() const { return file_; }

  // The file chooser for wave files; the chosen full path, or "" when cancelled.
  std::string SelectSoundFile(std::uintptr_t owner, const std::string& initialDir,
                              const std::string& initialFile, const std::string& title);

 private:
  FileDialog& files_;
  AlertSounds& sounds_;
  std::string file_;
};

// The part of `path` after its last backslash (the whole path without one).
std::string GetFileName(const std::string& path);

}  // namespace unw
