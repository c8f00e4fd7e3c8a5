// Opening web pages, starting programs, and facts about files and the program.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteA(hwnd, verb, file, parameters, directory, show): above 32 on success.
  virtual std::intptr_t ShellExecute(std::uintptr_t hwnd, const std::string& verb,
                                     const std::string& file, const std::string& parameters,
                                     const std::string& directory, int show) = 0;
  // Starts a program from a command line with the given show mode; false when it cannot start.
  virtual bool RunProgram(const std::string& commandLine, int show) = 0;
  // Whether a file exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;
  // The program's major and minor version from its version resource; false when unreadable.
  virtual bool ProgramVersion(int& major, int& minor) = 0;
};

}  // namespace unw
