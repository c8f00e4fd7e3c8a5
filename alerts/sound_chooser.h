// Choosing a custom sound file, with a preview of the selected file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_dialog.h"

namespace unw {

class AlertSounds;

// The longest path the system's file chooser takes, in UTF-16 units, without its NUL (MAX_PATH
// less one).
inline constexpr size_t kChooserPathLimit = 259;

// Where the chooser opens: a folder (empty: the system's default folder) and the file name shown
// in it (empty: none).
struct ChooserStart {
  std::string folder, file;
  bool operator==(const ChooserStart&) const = default;
};

// The chooser and its preview row: plays or stops the file selected in it.
class SoundChooser : public SoundPreviewSink {
 public:
  SoundChooser(FileDialog& files, AlertSounds& sounds) : files_(files), sounds_(sounds) {}
  void SelectionChanged(const std::string& path) override;
  void PlayPressed() override { PlayPreviewSound(); }
  void StopPressed() override { StopPreviewSound(); }
  void Closing() override { StopPreviewSound(); }

  // Plays the selected file when it comes in time, never waiting for it.
  void PlayPreviewSound();
  void StopPreviewSound();
  // The last file selected in a chooser; kept after it closes.
  const std::string& strPreviewFile() const { return file_; }

  // The file chooser for wave files; the chosen full path, or "" when cancelled.
  std::string SelectSoundFile(std::uintptr_t owner, const std::string& initialDir,
                              const std::string& initialFile, const std::string& title);
  // The same, opened where `current` says (a stored sound's path, or a folder), as StartFor
  // works it out: whatever `current` holds, the chooser opens.
  std::string SelectSoundFileAt(std::uintptr_t owner, const std::string& current,
                                const std::string& title);
  // Where a chooser for `current` opens: `current` itself when it is an existing folder, else
  // the folder of the file it names when that exists, with the file's name when the whole path
  // fits; the default folder when neither is an existing folder within kChooserPathLimit. Folders
  // are asked about only within that limit and never on a device (IsDevicePath).
  ChooserStart StartFor(const std::string& current);

 private:
  // Whether `folder` is an existing folder the chooser can open in.
  bool UsableFolder(const std::string& folder);

  FileDialog& files_;
  AlertSounds& sounds_;
  std::string file_;
};

// The part of `path` after its last backslash (the whole path without one).
std::string GetFileName(const std::string& path);
// The length of UTF-8 `text` in UTF-16 units, as the system counts a path.
size_t Utf16Length(std::string_view text);

}  // namespace unw
