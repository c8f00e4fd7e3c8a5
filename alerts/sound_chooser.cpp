#include "alerts/sound_chooser.h"

#include "alerts/sounds.h"
#include "app/app.h"
#include "platform/sound.h"

namespace unw {

void SoundPreview::SelectionChanged(const std::string& path) {
  file_ = TrimSpaces(path);
  // A preview of the previous selection stops.
  StopPreviewSound();
}

void SoundPreview::PlayPreviewSound() {
  app_.sys.sound.PlayClip(file_, kSndFileFlags);
}

void SoundPreview::StopPreviewSound() {
  app_.sys.sound.PlayClip("", 0);
}

std::string SelectSoundFile(App& app, std::uintptr_t owner, const std::string& initialDir,
                            const std::string& initialFile, const std::string& title) {
  std::string path =
      app.sys.files.ChooseSoundFile(owner, initialDir, initialFile, title, app.soundPreview);
  return path.substr(0, path.find('\0'));
}

std::string GetFileName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace unw
