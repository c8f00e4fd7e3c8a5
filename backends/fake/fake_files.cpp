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

std::intptr_t FakeShell::ShellExecute(std::uintptr_t /*hwnd*/, const std::string& verb,
                                      const std::string& file, const std::string& /*parameters*/,
                                      const std::string& directory, int show) {
  executed.push_back({verb, file, directory, show});
  trace_.Line("shell.execute", {verb, file, std::to_string(show)});
  return executeResult;
}

bool FakeShell::RunProgram(const std::string& commandLine, int show) {
  started.emplace_back(commandLine, show);
  trace_.Line("shell.run", {commandLine, std::to_string(show)});
  return runResult;
}

bool FakeShell::ProgramVersion(int& maj, int& min) {
  maj = major;
  min = minor;
  return true;
}

}  // namespace unw
