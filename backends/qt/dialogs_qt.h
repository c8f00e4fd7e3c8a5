// Message boxes as QMessageBox: the text, title, buttons, picture and default asked for, modal to
// the program, above every window when asked.
#pragma once

#include "platform/dialogs.h"
#include "platform/trace.h"

namespace unw {

class QtFormView;

class QtDialogs : public Dialogs {
 public:
  QtDialogs(Trace& trace, QtFormView& view) : trace_(trace), view_(view) {}
  MessageAnswer ShowMessage(std::uintptr_t owner, const Message& message) override;

 private:
  Trace& trace_;
  QtFormView& view_;
};

}  // namespace unw
