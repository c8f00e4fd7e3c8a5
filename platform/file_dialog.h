// The system's file dialogs: open, for choosing a sound file with a preview or a program; save,
// for a file the program writes where the user says.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

// What the preview row of the chooser does; the dialog reports to it.
class SoundPreviewSink {
 public:
  virtual ~SoundPreviewSink() = default;
  // The selection in the dialog changed to `path` (full path).
  virtual void SelectionChanged(const std::string& path) = 0;
  // The "Play" button was pressed (click or space bar).
  virtual void PlayPressed() = 0;
  // The "Stop" button was pressed.
  virtual void StopPressed() = 0;
  // The dialog is closing.
  virtual void Closing() = 0;
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Shows the file-open dialog owned by `owner`, limited to wave files ("*.wav"), starting in
  // `initialDir` with `initialFile`, titled `title`, with a preview row ("Preview:", "Play",
  // "Stop") reporting to `preview`. Returns the chosen full path, or "" when cancelled.
  virtual std::string ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                                      const std::string& initialFile, const std::string& title,
                                      SoundPreviewSink& preview) = 0;
  // Whether `path` is an existing folder the dialog can open in. Answers within a moment: a
  // folder that does not answer in time (a share that is gone) is none.
  virtual bool FolderExists(const std::string& path) = 0;
  // Shows the Save As dialog owned by `owner` for a CSV file ("*.csv", the extension added when
  // the name has none), starting in `initialDir` (empty: the system's choice) with `initialFile`,
  // titled `title`; it asks before a file is replaced. Returns the chosen full path, or "" when
  // cancelled.
  virtual std::string ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                                     const std::string& initialFile, const std::string& title) = 0;
  // Shows the file-open dialog owned by `owner`, limited to programs ("*.exe"), titled `title`.
  // Returns the chosen full path, or "" when cancelled.
  virtual std::string ChooseProgramFile(std::uintptr_t owner, const std::string& title) = 0;
};

}  // namespace unw
