// frmBreakTimeRemaining: the break itself, counted down by the cycle in minutes and seconds, with
// the workstation locked and the screen saver started as set when it opens.
#pragma once

#include <string>

#include "forms/form.h"

namespace unw {

class App;
struct CycleSnapshot;

class FrmBreakTimeRemaining : public Form {
 public:
  explicit FrmBreakTimeRemaining(App& app);

  void cmdStopTimer_Click();
  void cmdAbout_Click();
  // Shows the break time left.
  void ShowCycle(const CycleSnapshot& s);
  // The break time shown, as "MM:SS".
  std::string BreakTimeText() const;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  void StartScreenSaver();

  App& app_;
};

}  // namespace unw
