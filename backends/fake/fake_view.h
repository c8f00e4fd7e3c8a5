// A renderer that draws nothing: it records what the program asked of its
// windows, measures text deterministically and knows which window takes input.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/form_view.h"
#include "platform/trace.h"

namespace unw {

class FakeView : public FormView {
 public:
  explicit FakeView(Trace& trace) : trace_(trace) {}

  std::uintptr_t Create(Form& form) override;
  void Destroy(Form& form) override;
  void FormChanged(Form& form, FormProp what) override;
  void ControlChanged(Control& control, Prop what) override;
  void BeginModal(Form& form) override;
  void EndModal(Form& form) override;
  bool TakesInput(const Form& form) const override;
  // Each character is as wide as 12 twips per point of the font, a line 24 twips per point.
  TextSize MeasureText(const Font& font, const std::string& text) override;
  // Records the popup; the test then clicks its items (or nothing, to dismiss it).
  void ShowPopupMenu(Form& form, Control& menu) override;
  void SetLook(Look look) override { looks.push_back(look); }
  // Every look the program gave its windows, in order: the last is the one they show.
  std::vector<Look> looks;
  std::vector<Control*> popups;
  // The control that has the keyboard focus.
  Control* focused = nullptr;
  // The program's window that has the keyboard (null: another program has it).
  Form* active = nullptr;
  // Brings `form` to the front with the keyboard; its first button or box takes the focus when
  // none of its controls has it (null: another program takes the keyboard).
  void Activate(Form* form);

  // Whether the user can reach `form`: it is visible and no modal window of
  // the program (nor a file chooser or a message box) sits above it.
  bool AcceptsInput(const Form& form) const;
  // Whether a system dialog of the program (file chooser, message box) is open.
  std::function<bool()> systemDialogOpen;
  const std::vector<Form*>& modalStack() const { return modal_; }
  // Called when a window is destroyed.
  std::function<void(Form&)> onDestroy;
  // Called whenever a window becomes visible (the scripted user's cue).
  std::function<void(Form&)> onShow;
  // How often windows were created, by form name.
  int created(const std::string& name) const;
  // The chart each picture was last asked to draw, by "form.control".
  std::map<std::string, Chart> charts;

 private:
  Trace& trace_;
  std::vector<Form*> modal_;
  std::vector<Form*> activated_;  // the windows that had the keyboard, most recent last
  std::map<std::string, int> created_;
  std::uintptr_t nextHandle_ = 0x10000;
};

}  // namespace unw
