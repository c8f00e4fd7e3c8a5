// frmUnwindle, the break prompt: take the break, be reminded later, restart
// or stop. It only records the answer; the opener carries it out.
#pragma once

#include <cstdint>

#include "cycle/cycle_state.h"
#include "forms/form.h"

namespace unw {

class App;

class FrmUnwindle : public Form {
 public:
  explicit FrmUnwindle(App& app);

  // Shows the prompt modally and returns the user's answer; closing it means Stop Timer. Without
  // `activate` it comes up on top without taking the keyboard.
  PromptAnswer Ask(bool activate = true);

  void cmdRemindLater_Click() { Answer(PromptAnswer::kRemindLater); }
  void cmdUnwindle_Click() { Answer(PromptAnswer::kTakeBreak); }
  void cmdStopTimer_Click() { Answer(PromptAnswer::kStopTimer); }
  void cmdRestartTimer_Click() { Answer(PromptAnswer::kRestartTimer); }
  void tmrRestartTimer_Timer();
  void tmrPlaySound_Timer();

  int32_t lngBreakSeconds = 0;
  int32_t lngSnoozeSeconds = 0;
  int32_t lngAwaySeconds = 0;  // seconds the user has been away since the alert
  int32_t lngSoundTicks = 0;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  void Answer(PromptAnswer answer);
  void OfferRestart();
  void Layout();

  App& app_;
  PromptAnswer answer_ = PromptAnswer::kStopTimer;
};

// Which status icon the prompt shows after `given` reminders of at most `limit`:
// 0 information, 1 exclamation (the last reminder), 2 stop (none left).
int SnoozeStep(int16_t limit, int16_t given);

}  // namespace unw
