#include "alerts/sound_chooser.h"

#include "alerts/sounds.h"

namespace unw {

void SoundChooser::SelectionChanged(const std::string& path) {
  file_ = TrimSpaces(path);
  // A preview of the previous selection stops.
  StopPreviewSound();
}

void SoundChooser::PlayPreviewSound() {
  sounds_.PreviewFile(file_);
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

std::string SoundChooser::SelectSoundFileAt(std::uintptr_t owner, const std::string& current,
                                            const std::string& title) {
  const ChooserStart start = StartFor(current);
  return SelectSoundFile(owner, start.folder, start.file, title);
}

bool SoundChooser::UsableFolder(const std::string& folder) {
  return !folder.empty() && Utf16Length(folder) <= kChooserPathLimit &&
         folder.find('\0') == std::string::npos && !IsDevicePath(folder) &&
         files_.FolderExists(folder);
}

ChooserStart SoundChooser::StartFor(const std::string& current) {
  const std::string path = TrimSpaces(current);
  if (UsableFolder(path)) return {path, ""};
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  std::string folder = path.substr(0, slash);
  // The root of a drive keeps its backslash ("C:" alone is the drive's current folder).
  if (folder.empty() || folder.back() == ':') folder += '\\';
  if (!UsableFolder(folder)) return {};
  const std::string name = path.substr(slash + 1);
  const bool fits = !name.empty() && !IsDevicePath(name) &&
                    Utf16Length(folder) + (folder.back() == '\\' ? 0 : 1) + Utf16Length(name) <=
                        kChooserPathLimit &&
                    name.find('\0') == std::string::npos;
  return {folder, fits ? name : ""};
}

std::string GetFileName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

size_t Utf16Length(std::string_view text) {
  size_t units = 0, follow = 0;
  for (unsigned char c : text) {
    if (follow > 0 && (c & 0xC0) == 0x80) {
      --follow;
      continue;
    }
    // A character beyond the basic plane takes two units; a byte that starts none becomes the
    // replacement character, one unit.
    follow = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace unw
