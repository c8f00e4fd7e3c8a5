// Message boxes through MessageBoxW; its own modal loop keeps dispatching,
// so the program's timers go on while a question is open.
#pragma once

#include <string>

#include "platform/dialogs.h"
#include "platform/trace.h"

namespace unw {

// The text as the box shows it: each line break that is a lone "\n" becomes "\r\n".
std::string MessageBoxText(const std::string& text);

// Dialogs service: the system message box, traced.
class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(Trace& trace) : trace_(trace) {}
  MessageAnswer ShowMessage(std::uintptr_t owner, const Message& message) override;

 private:
  Trace& trace_;
};

}  // namespace unw
