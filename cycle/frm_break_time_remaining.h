// frmBreakTimeRemaining: the break itself, counted down in minutes and
// seconds, with the workstation locked and the screen saver started as set.
#pragma once

#include <cstdint>
#include <string>

#include "forms/form.h"

namespace unw {

class App;

class FrmBreakTimeRemaining : public Form {
 public:
  explicit FrmBreakTimeRemaining(App& app);

  void tmrMain_Timer();
  void cmdStopTimer_Click() { Unload(); }
  void cmdAbout_Click();
  // The displayed break time as "MM:SS".
  std::string BreakTimeText() const;

  int32_t lngTotalSeconds = 0;
  int32_t lngElapsedSeconds = 0;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  void StartScreenSaver();

  App& app_;
};

// The tray tooltip during a break, ended by a NUL.
std::string BreakStatusText(const std::string& time);

}  // namespace unw
