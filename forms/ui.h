// The form runtime: the renderer, the event loop, the collection of loaded
// forms and message boxes. One per program instance.
#pragma once

#include <string>
#include <vector>

#include "forms/form.h"
#include "platform/dialogs.h"

namespace unw {

class FormView;
class EventLoop;

class Ui {
 public:
  Ui(FormView& view, EventLoop& loop, Dialogs& dialogs);

  FormView& view() const { return view_; }
  EventLoop& loop() const { return loop_; }

  // Loaded forms, in load order.
  const std::vector<Form*>& forms() const { return forms_; }
  bool IsLoaded(const Form& f) const;
  // The loaded form of that name, or null.
  Form* Find(const std::string& name) const;
  // How many modal loops are running (forms and message boxes).
  int modalDepth() const { return modalDepth_; }

  // Shows a message box owned by `owner` (may be null) and returns the answer.
  MessageAnswer MsgBox(Form* owner, const Message& message);
  // Handles the events already waiting, then returns.
  void DoEvents();

  // Used by Form.
  void Register(Form& f);
  void Unregister(Form& f);
  void EnterModal() { ++modalDepth_; }
  void LeaveModal() { --modalDepth_; }

 private:
  FormView& view_;
  EventLoop& loop_;
  Dialogs& dialogs_;
  std::vector<Form*> forms_;
  int modalDepth_ = 0;
};

}  // namespace unw
