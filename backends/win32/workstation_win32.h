// The workstation lock, the caret blink time and where the program lives.
#pragma once

#include "platform/trace.h"
#include "platform/workstation.h"

namespace unw {

// Workstation service: lock, caret blink time, program location.
class Win32Workstation : public Workstation {
 public:
  explicit Win32Workstation(Trace& trace) : trace_(trace) {}
  long LockWorkStation() override;
  void StartScreenSaver(std::uintptr_t window) override;
  unsigned GetCaretBlinkTime() override;
  std::string AppPath() override;
  std::string AppExeName() override;

 private:
  Trace& trace_;
};

// The folder of a full file name without its trailing backslash, except that
// a drive root keeps it ("C:\"); and the file name without its extension.
// Safe on UTF-8: "\\", "/" and "." never occur inside a multi-byte character.
std::string FolderOf(const std::string& fullPath);
std::string BaseNameOf(const std::string& fullPath);

}  // namespace unw
