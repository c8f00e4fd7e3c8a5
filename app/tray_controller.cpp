#include "app/tray_controller.h"

#include "app/app.h"
#include "app/frm_timer.h"
#include "cycle/break_cycle.h"
#include "forms/form_view.h"

namespace unw {

bool TrayController::Busy() const {
  for (const char* name : {"frmBreakTimeRemaining", "frmAbout", "frmPreferences", "frmUnwindle",
                           "frmRestartTimer", "frmWorkingHours", "frmShortBreaks", "frmStatistics",
                           "frmHoldPrograms", "frmBreakIdeas", "frmBreakScreenOptions"}) {
    if (app_.ui.Find(name)) return true;
  }
  return app_.frmTimer().blnExitQuestion();
}

bool TrayController::AlertPending() const {
  return app_.cycle.AlertPending();
}

void TrayController::AcknowledgeTrayAlert() {
  app_.cycle.AcknowledgeTrayAlert();
}

void TrayController::EndBalloonAlert() {
  app_.cycle.EndBalloonAlert();
}

void TrayController::RestoreFromTray() {
  if (Busy()) return;
  FrmTimer& main = app_.frmTimer();
  main.SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(main.hWnd());
  main.Show();
}

void TrayController::ShowTrayMenu() {
  if (Busy()) return;
  FrmTimer& main = app_.frmTimer();
  app_.ui.DoEvents();
  app_.sys.windows.SetForegroundWindow(main.hWnd());
  PrepareTrayMenu();
  app_.sys.view.ShowPopupMenu(main, main.Ctl("mPopupSys"));
}

void TrayController::PrepareTrayMenu() {
  if (Busy()) return;
  app_.frmTimer().Ctl("mnuUnwindle").SetDefault(true);
}

}  // namespace unw
