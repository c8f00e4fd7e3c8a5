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
  // The program's major and minor version from its version resource; false when unreadable.
  virtual bool ProgramVersion(int& major, int& minor) = 0;
};

}  // namespace unw
