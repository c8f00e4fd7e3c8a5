// The small windows of short breaks, opened, counted down and closed by the cycle's snapshot alone:
// frmShortBreak while a short break runs, frmHeadsUp before a break of either kind. Both come up on
// top of the monitor in use without taking the keyboard: the user may be typing.
#pragma once

#include <string>

#include "cycle/cycle_view.h"
#include "forms/form.h"

namespace unw {

class App;
class Texts;

// What frmHeadsUp says `seconds` before a break of `kind`.
std::string HeadsUpText(const Texts& texts, HeadsUpKind kind, int32_t seconds);

class FrmShortBreak : public Form {
 public:
  explicit FrmShortBreak(App& app);

  // Opens, updates or closes the window as `s` says.
  void ShowCycle(const CycleSnapshot& s);

  void cmdShortBreakLater_Click();
  void cmdShortBreakSkip_Click();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;

 private:
  // Shows `caption` in place of the fixed line, with the window grown to its lines.
  void ShowText(const std::string& caption);

  App& app_;
};

class FrmHeadsUp : public Form {
 public:
  explicit FrmHeadsUp(App& app);

  void ShowCycle(const CycleSnapshot& s);

  void cmdHeadsUpLater_Click();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;

 private:
  App& app_;
};

}  // namespace unw
