// The workstation and system facts the program asks about.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class Workstation {
 public:
  virtual ~Workstation() = default;
  // Locks the workstation; non-zero on success.
  virtual long LockWorkStation() = 0;
  // Starts the configured screen saver, asked for through the program's window `window`.
  virtual void StartScreenSaver(std::uintptr_t window) = 0;
  // Whether something on this system locks the workstation (LockWorkStation) and starts a screen
  // saver (StartScreenSaver); a system that always has both keeps these.
  virtual bool CanLock() { return true; }
  virtual bool CanStartScreenSaver() { return true; }
  // The caret blink time in milliseconds.
  virtual unsigned GetCaretBlinkTime() = 0;
  // Folder of the running program, without a trailing backslash.
  virtual std::string AppPath() = 0;
  // File name of the running program without its extension.
  virtual std::string AppExeName() = 0;
};

}  // namespace unw
