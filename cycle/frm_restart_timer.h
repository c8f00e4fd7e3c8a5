// frmRestartTimer, the break-over prompt: restart the work timer or stop it.
#pragma once

#include <cstdint>

#include "forms/form.h"

namespace unw {

class App;

class FrmRestartTimer : public Form {
 public:
  explicit FrmRestartTimer(App& app);

  void cmdRestartTimer_Click() { Answer(3); }
  void cmdStopTimer_Click() { Answer(2); }
  void tmrPlaySound_Timer();

  int32_t lngSnoozeSeconds = 0;
  int32_t lngSoundTicks = 0;

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Answer(int32_t choice);
  void Announce();

  App& app_;
};

}  // namespace unw
