// frmUnwindle, the break prompt: take the break, be reminded later, restart or stop. It shows
// what the cycle says (the reminders' step, whether Restart Timer stands in for Remind Later) and
// only records the answer; the cycle carries it out.
#pragma once

#include "cycle/cycle_state.h"
#include "forms/form.h"

namespace unw {

class App;
struct CycleSnapshot;

class FrmUnwindle : public Form {
 public:
  explicit FrmUnwindle(App& app);

  // Shows the prompt modally and returns the user's answer; closing it means Stop Timer. Without
  // `activate` it comes up on top without taking the keyboard.
  PromptAnswer Ask(bool activate = true);
  // Follows the cycle while open: Restart Timer takes the place of Remind Later.
  void ShowCycle(const CycleSnapshot& s);

  void cmdRemindLater_Click() { Answer(PromptAnswer::kRemindLater); }
  void cmdUnwindle_Click() { Answer(PromptAnswer::kTakeBreak); }
  void cmdStopTimer_Click() { Answer(PromptAnswer::kStopTimer); }
  void cmdRestartTimer_Click() { Answer(PromptAnswer::kRestartTimer); }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Answer(PromptAnswer answer);
  void Layout();

  App& app_;
  PromptAnswer answer_ = PromptAnswer::kStopTimer;
};

}  // namespace unw
