// frmRestartTimer, the break-over prompt: restart the work timer or stop it.
#pragma once

#include <cstdint>

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
  void tmrPlaySound_Timer();

  int32_t lngSnoozeSeconds = 0;
  int32_t lngSoundTicks = 0;

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Answer(PromptAnswer answer);

  App& app_;
  PromptAnswer answer_ = PromptAnswer::kStopTimer;
};

}  // namespace unw
