// frmBreakTimeRemaining: the break itself, counted down in minutes and
// seconds, with the workstation locked and the screen saver started as set.
#pragma once

#include <cstdint>
#include <string>

#include "cycle/countdown.h"
#include "forms/form.h"

namespace unw {

class App;

class FrmBreakTimeRemaining : public Form {
 public:
  explicit FrmBreakTimeRemaining(App& app);

  void tmrMain_Timer();
  void cmdStopTimer_Click() { Unload(); }
  void cmdAbout_Click();
  // The break time left as "MM:SS".
  std::string BreakTimeText() const { return countdown_.Ms(); }
  const Countdown& countdown() const { return countdown_; }
  // The break ran its whole length (rather than being stopped).
  bool ranOut() const { return ranOut_; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  void StartScreenSaver();
  void ShowTime();

  App& app_;
  Countdown countdown_;
  bool ranOut_ = false;
};

}  // namespace unw
