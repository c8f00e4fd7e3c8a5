// Opening documents and web pages, starting programs, and what the program
// knows about files and its own version, over the shell and version calls.
#pragma once

#include "platform/shell.h"
#include "platform/trace.h"

namespace unw {

// Shell service.
class Win32Shell : public Shell {
 public:
  explicit Win32Shell(Trace& trace) : trace_(trace) {}
  std::intptr_t ShellExecute(std::uintptr_t hwnd, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int show) override;
  bool RunProgram(const std::string& commandLine, int show) override;
  bool FileExists(const std::string& path) override;
  bool ProgramVersion(int& major, int& minor) override;

 private:
  Trace& trace_;
};

}  // namespace unw
