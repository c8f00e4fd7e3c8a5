#include "app/cycle_windows.h"

#include "app/app.h"
#include "app/frm_break_screen.h"
#include "app/frm_break_time_remaining.h"
#include "app/frm_restart_timer.h"
#include "app/frm_short_break.h"
#include "app/frm_timer.h"
#include "app/frm_unwindle.h"

namespace unw {

CycleWindows::CycleWindows(App& app)
    : app_(app),
      frmUnwindle_(std::make_unique<FrmUnwindle>(app)),
      frmBreakTimeRemaining_(std::make_unique<FrmBreakTimeRemaining>(app)),
      frmRestartTimer_(std::make_unique<FrmRestartTimer>(app)),
      frmShortBreak_(std::make_unique<FrmShortBreak>(app)),
      frmHeadsUp_(std::make_unique<FrmHeadsUp>(app)),
      breakScreen_(std::make_unique<BreakScreen>(app)) {}

CycleWindows::~CycleWindows() = default;

void CycleWindows::Show(const CycleSnapshot& snapshot) {
  app_.frmTimer().ShowCycle(snapshot);
  frmUnwindle_->ShowCycle(snapshot);
  frmBreakTimeRemaining_->ShowCycle(snapshot);
  frmShortBreak_->ShowCycle(snapshot);
  frmHeadsUp_->ShowCycle(snapshot);
  breakScreen_->ShowCycle(snapshot);
}

void CycleWindows::HideForAlert(bool newAlert) {
  FrmTimer& main = app_.frmTimer();
  if (newAlert) mainWasShown_ = false;
  // The short break's window and the heads-up stay: the cycle ends them (and its snapshot closes
  // them) before a long alert or break.
  for (const char* name : {"frmAbout", "frmPreferences", "frmStatistics"}) {
    if (Form* f = app_.ui.Find(name)) f->Unload();
  }
  // Hidden already (by the user, or by this alert before): the memory stands.
  if (main.loaded() && main.visible()) {
    mainWasShown_ = main.windowState() == WindowState::kNormal;
    main.Hide();
  }
}

void CycleWindows::ReturnAfterAlert() {
  FrmTimer& main = app_.frmTimer();
  // Minimized since (the user sent it to the tray): it stays where the user put it.
  if (mainWasShown_ && main.loaded() && main.windowState() == WindowState::kNormal) main.Show();
}

void CycleWindows::BringBack() {
  FrmTimer& main = app_.frmTimer();
  main.SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(main.hWnd());
  main.Show();
}

PromptAnswer CycleWindows::AskBreakPrompt(bool activate) {
  return frmUnwindle_->Ask(activate);
}

void CycleWindows::RunBreak() {
  if (app_.cycle.Snapshot().onScreen) {
    breakScreen_->RunLongBreak();
    return;
  }
  // On top, but the keyboard stays where it is: a space or an Enter typed into another program as
  // the break begins would press Stop Break.
  frmBreakTimeRemaining_->Show(true, false);
}

PromptAnswer CycleWindows::AskBreakOver(bool activate) {
  return frmRestartTimer_->Ask(activate);
}

void CycleWindows::ClosePrompt() {
  if (frmUnwindle_->loaded()) frmUnwindle_->Unload();
}

void CycleWindows::CloseBreak() {
  breakScreen_->Close();
  if (frmBreakTimeRemaining_->loaded()) frmBreakTimeRemaining_->Unload();
}

}  // namespace unw
