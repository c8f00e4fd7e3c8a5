// Opening web pages, starting the system's own tools, and facts about the program.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens `url` in the user's browser, asked from the window `owner` (0 for none); false when
  // nothing could be asked to open it.
  virtual bool OpenWebPage(std::uintptr_t owner, const std::string& url) = 0;
  // Starts the system's System Information tool; false when it is not there or does not start.
  virtual bool OpenSystemInformation() = 0;
  // Whether the system has a System Information tool to offer at all; one offered may still fail
  // to start (OpenSystemInformation says so).
  virtual bool HasSystemInformation() { return true; }
  // The program's major and minor version from its version resource; false when unreadable.
  virtual bool ProgramVersion(int& major, int& minor) = 0;
};

}  // namespace unw
