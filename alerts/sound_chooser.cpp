#include "alerts/sound_chooser.h"

#include "alerts/sounds.h"

namespace unw {

void SoundChooser::SelectionChanged(const std::string& path) {
  file_ = TrimSpaces(path);
  // A preview of the previous selection stops.
  StopPreviewSound();
}

void SoundChooser::PlayPreviewSound() {
  sounds_.PlayFile(file_);
}

void SoundChooser::StopPreviewSound() {
  sounds_.Stop();
}

std::string SoundChooser::SelectSoundFile(std::uintptr_t owner, const std::string& initialDir,
                                          const std::string& initialFile,
                                          const std::string& title) {
  std::string path = files_.ChooseSoundFile(owner, initialDir, initialFile, title, *this);
  return path.substr(0, path.find('\0'));
}

std::string GetFileName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace unw
