// Standard dialogs of the system.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box owned by `owner` (0 for none) with the system's style bits;
  // returns the answer (kIdYes, kIdNo, ...). Events go on while it is open.
  virtual int ShowMessageBox(std::uintptr_t owner, const std::string& text,
                             const std::string& title, int style) = 0;
};

}  // namespace unw
