// Message boxes through MessageBoxW; its own modal loop keeps dispatching,
// so the program's timers go on while a question is open.
#pragma once

#include "platform/dialogs.h"
#include "platform/trace.h"

namespace unw {

// Dialogs service: the system message box, traced.
class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(Trace& trace) : trace_(trace) {}
  int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& title,
                     int style) override;

 private:
  Trace& trace_;
};

}  // namespace unw
