// Opening web pages, starting the System Information tool (found in the registry), and the
// program's own version, over the shell, process, registry and version calls.
#pragma once

#include <cstdint>
#include <string>

#include "platform/shell.h"
#include "platform/trace.h"

namespace unw {

// Shell service.
class Win32Shell : public Shell {
 public:
  explicit Win32Shell(Trace& trace) : trace_(trace) {}
  bool OpenWebPage(std::uintptr_t owner, const std::string& url) override;
  bool OpenSystemInformation() override;
  bool ProgramVersion(int& major, int& minor) override;

  // What the two rest on. ShellExecuteW(owner, verb, file, parameters, directory, show): above
  // 32 on success.
  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& parameters, const std::string& directory, int show);
  // Starts a program from a command line with the given show mode; false when it cannot start.
  bool RunProgram(const std::string& commandLine, int show);
  // Whether a file exists at `path`.
  bool FileExists(const std::string& path);

 private:
  Trace& trace_;
};

}  // namespace unw
