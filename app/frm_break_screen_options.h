// frmBreakScreenOptions: where breaks are shown (the long break in its small window or on the
// break screen, short breaks on the break screen too), whether the break screen is strict, and
// whether breaks bring an idea.
// Nothing is stored until Save; a break that falls due while it is open waits for it.
#pragma once

#include "forms/form.h"

namespace unw {

class App;

class FrmBreakScreenOptions : public Form {
 public:
  explicit FrmBreakScreenOptions(App& app);

  // The two options are one choice: choosing one clears the other.
  void optBreakWindow_Click();
  void optBreakScreen_Click();
  void chkShortBreakScreen_Click() { ShowEnabled(); }
  void cmdSave_Click();
  void cmdCancel_Click() { Unload(); }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  // Strict breaks concern the break screen only: usable while some break is shown on it.
  void ShowEnabled();

  App& app_;
};

}  // namespace unw
