#include "app/frm_break_time_remaining.h"

#include "app/app.h"
#include "app/fonts.h"
#include "app/frm_about.h"
#include "app/frm_timer.h"
#include "app/prompts.h"
#include "cycle/cycle_view.h"
#include "settings/number_text.h"
#include "settings/product.h"

namespace unw {

FrmBreakTimeRemaining::FrmBreakTimeRemaining(App& app)
    : Form(app.ui, "frmBreakTimeRemaining"), app_(app) {}

void FrmBreakTimeRemaining::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4560, 1500);
  const Texts& t = app_.texts;

  Control& frame = Add(ControlKind::kFrame, "fraTimeRemaining");
  frame.SetCaption(t.T("Break Time Remaining (MM:SS)"));
  frame.Move(120, 60, 3000, 1320);
  const char* labels[] = {"lblMinutes", "lblSemiColon", "lblSeconds"};
  const int lefts[] = {300, 1080, 1320};
  for (int i = 0; i < 3; ++i) {
    Control& l = Add(ControlKind::kLabel, labels[i], &frame);
    l.SetCaption(i == 1 ? ":" : "88");
    l.Move(lefts[i], 330, i == 1 ? 240 : 780, 780);
    l.SetFont(TimeDisplayFont());
  }
  Control& stop = Add(ControlKind::kButton, "cmdStopTimer");
  stop.SetToolTip(t.T("Stop Break"));
  stop.SetPicture("stop");
  stop.Move(3300, 840, 540, 480);
  stop.onClick = [this] { cmdStopTimer_Click(); };
  Control& about = Add(ControlKind::kButton, "cmdAbout");
  about.SetPicture("about");
  about.Move(3900, 840, 540, 480);
  about.onClick = [this] { cmdAbout_Click(); };
  Control& pic = Add(ControlKind::kPicture, "picExclamation");
  pic.SetPicture("sys.exclamation");
  pic.Move(3630, 180, 480, 480);
}

void FrmBreakTimeRemaining::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  CenterIn(app_.sys.presence.PointerWorkArea());  // where the user works
  // The lock comes first: a screen saver over an unlocked desktop would be no break.
  if (s.LockWorkstationOnBreak == 1) app_.sys.workstation.LockWorkStation();
  if (s.ActivateScreenSaver == 1) StartScreenSaver();
  SetCaption(MakerCaption(app_.texts, NT("KORVANTE - {url}")));
  Ctl("cmdAbout").SetToolTip(app_.texts.T("About Korvante Unwindle"));
  ShowCycle(app_.cycle.Snapshot());
}

void FrmBreakTimeRemaining::ShowCycle(const CycleSnapshot& s) {
  if (!loaded()) return;
  Ctl("lblMinutes").SetCaption(TwoDigit(s.breakTime.remaining() / 60));
  Ctl("lblSeconds").SetCaption(s.breakTime.Seconds());
}

std::string FrmBreakTimeRemaining::BreakTimeText() const {
  if (!loaded()) return "00:00";
  return Ctl("lblMinutes").caption() + ":" + Ctl("lblSeconds").caption();
}

void FrmBreakTimeRemaining::StartScreenSaver() {
  app_.sys.workstation.StartScreenSaver(app_.frmTimer().hWnd());
}

void FrmBreakTimeRemaining::cmdStopTimer_Click() {
  app_.cycle.StopBreak();
}

void FrmBreakTimeRemaining::cmdAbout_Click() {
  app_.frmAbout().Show(true);
}

void FrmBreakTimeRemaining::Form_Unload(int& /*cancel*/) {
  // However it closes (its close command too), the break is over early, as by "Stop Break".
  app_.cycle.StopBreak();
}

}  // namespace unw
