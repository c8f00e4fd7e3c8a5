#include "backends/fake/fake_files.h"

#include "backends/fake/fake_event_loop.h"

namespace unw {

void FakeFileDialog::OwnerDestroyed(std::uintptr_t owner) {
  if (!open || open->owner != owner || open->done) return;
  open->result.clear();
  open->done = true;
  open = nullptr;  // gone from the screen, though its caller has not returned yet
}

std::string FakeFileDialog::ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                                            const std::string& initialFile,
                                            const std::string& title, SoundPreviewSink& preview) {
  Open dialog{owner, initialDir, initialFile, title, &preview, false, {}};
  trace_.Line("files.open", {initialDir, initialFile, title});
  Wait(dialog);
  preview.Closing();
  shown.push_back(dialog);
  trace_.Line("files.close", {dialog.result});
  return dialog.result;
}

bool FakeFileDialog::FolderExists(const std::string& path) {
  foldersAsked.push_back(path);
  return folders.count(path) > 0;
}

std::string FakeFileDialog::ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                                           const std::string& initialFile,
                                           const std::string& title) {
  Open dialog{owner, initialDir, initialFile, title, nullptr, false, {}, "*.csv"};
  trace_.Line("files.save", {initialDir, initialFile, title});
  Wait(dialog);
  shown.push_back(dialog);
  trace_.Line("files.close", {dialog.result});
  return dialog.result;
}

std::string FakeFileDialog::ChooseProgramFile(std::uintptr_t owner, const std::string& title) {
  Open dialog{owner, "", "", title, nullptr, false, {}, "*.exe"};
  trace_.Line("files.open", {"", "", title});
  Wait(dialog);
  shown.push_back(dialog);
  trace_.Line("files.close", {dialog.result});
  return dialog.result;
}

void FakeFileDialog::Wait(Open& dialog) {
  Open* outer = open;
  open = &dialog;
  loop_.RunUntil([&dialog] { return dialog.done; });
  open = outer;
}

bool FakeShell::OpenWebPage(std::uintptr_t /*owner*/, const std::string& url) {
  pagesOpened.push_back(url);
  trace_.Line("shell.open", {url, browser ? "1" : "0"});
  return browser;
}

bool FakeShell::OpenSystemInformation() {
  trace_.Line("shell.sysinfo", {systemInformation ? "1" : "0"});
  if (systemInformation) ++systemInformationStarts;
  return systemInformation;
}

bool FakeShell::ProgramVersion(int& maj, int& min) {
  maj = major;
  min = minor;
  return true;
}

}  // namespace unw
