// frmRestartTimer, the break-over prompt: restart the work timer or stop it. It only records the
// answer; the cycle announces the end of the break and carries the answer out.
#pragma once

#include "cycle/cycle_state.h"
#include "forms/form.h"

namespace unw {

class App;

class FrmRestartTimer : public Form {
 public:
  explicit FrmRestartTimer(App& app);

  // Shows the prompt modally and returns the user's answer; closing it means Stop Timer. Without
  // `activate` it comes up on top without taking the keyboard.
  PromptAnswer Ask(bool activate = true);

  void cmdRestartTimer_Click() { Answer(PromptAnswer::kRestartTimer); }
  void cmdStopTimer_Click() { Answer(PromptAnswer::kStopTimer); }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Answer(PromptAnswer answer);

  App& app_;
  PromptAnswer answer_ = PromptAnswer::kStopTimer;
};

}  // namespace unw
