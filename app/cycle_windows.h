// The break cycle's windows: the main window shows each snapshot, and the break prompt, the break
// window and the break-over question are asked here, each in its own modal loop. The short break's
// window and the heads-up open and close with the snapshot, without a loop of their own.
#pragma once

#include <memory>

#include "cycle/cycle_view.h"

namespace unw {

class App;
class FrmUnwindle;
class FrmBreakTimeRemaining;
class FrmRestartTimer;
class FrmShortBreak;
class FrmHeadsUp;
class BreakScreen;

class CycleWindows : public CycleView {
 public:
  explicit CycleWindows(App& app);
  ~CycleWindows() override;

  void Show(const CycleSnapshot& snapshot) override;
  void HideForAlert(bool newAlert) override;
  void ReturnAfterAlert() override;
  void BringBack() override;
  PromptAnswer AskBreakPrompt(bool activate) override;
  void RunBreak() override;
  PromptAnswer AskBreakOver(bool activate) override;
  void ClosePrompt() override;
  void CloseBreak() override;

  FrmUnwindle& frmUnwindle() { return *frmUnwindle_; }
  FrmBreakTimeRemaining& frmBreakTimeRemaining() { return *frmBreakTimeRemaining_; }
  FrmRestartTimer& frmRestartTimer() { return *frmRestartTimer_; }
  FrmShortBreak& frmShortBreak() { return *frmShortBreak_; }
  FrmHeadsUp& frmHeadsUp() { return *frmHeadsUp_; }
  BreakScreen& breakScreen() { return *breakScreen_; }

 private:
  App& app_;
  // Whether the main window comes back after the alert: it was on the screen, in its normal
  // state, when the alert hid it.
  bool mainWasShown_ = false;
  std::unique_ptr<FrmUnwindle> frmUnwindle_;
  std::unique_ptr<FrmBreakTimeRemaining> frmBreakTimeRemaining_;
  std::unique_ptr<FrmRestartTimer> frmRestartTimer_;
  std::unique_ptr<FrmShortBreak> frmShortBreak_;
  std::unique_ptr<FrmHeadsUp> frmHeadsUp_;
  std::unique_ptr<BreakScreen> breakScreen_;
};

}  // namespace unw
