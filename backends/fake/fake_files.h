// Recorded stand-ins for the file chooser and the shell.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/shell.h"
#include "platform/trace.h"

namespace unw {

class FakeEventLoop;

// The chooser waits in a modal loop until the test picks a file or cancels.
class FakeFileDialog : public FileDialog {
 public:
  FakeFileDialog(Trace& trace, FakeEventLoop& loop) : trace_(trace), loop_(loop) {}
  std::string ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                              const std::string& initialFile, const std::string& title,
                              SoundPreviewSink& preview) override;
  bool FolderExists(const std::string& path) override;
  std::string ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                             const std::string& initialFile, const std::string& title) override;
  std::string ChooseProgramFile(std::uintptr_t owner, const std::string& title) override;

  // The system closes a dialog whose owner window is destroyed: as cancelled.
  void OwnerDestroyed(std::uintptr_t owner);

  struct Open {
    std::uintptr_t owner = 0;
    std::string initialDir, initialFile, title;
    SoundPreviewSink* preview = nullptr;  // none: the Save As dialog or the programs chooser
    bool done = false;
    std::string result;
    std::string pattern = "*.wav";  // the files it offers
  };
  // The dialog that is open now, or null.
  Open* open = nullptr;
  std::vector<Open> shown;
  // The folders that exist, and every folder the program asked about.
  std::set<std::string> folders;
  std::vector<std::string> foldersAsked;

 private:
  // Waits for the test's answer to `dialog`, open now.
  void Wait(Open& dialog);

  Trace& trace_;
  FakeEventLoop& loop_;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(Trace& trace) : trace_(trace) {}
  bool OpenWebPage(std::uintptr_t owner, const std::string& url) override;
  bool OpenSystemInformation() override;
  bool ProgramVersion(int& major, int& minor) override;
  bool HasSystemInformation() override { return offersSystemInformation; }

  // The pages asked for, and whether a browser takes them.
  std::vector<std::string> pagesOpened;
  bool browser = true;
  // Whether the System Information tool is installed, and how often it was started.
  bool systemInformation = false;
  // Whether the system has such a tool at all, to offer.
  bool offersSystemInformation = true;
  int systemInformationStarts = 0;
  int major = 1, minor = 0;

 private:
  Trace& trace_;
};

}  // namespace unw
