#include "cycle/frm_break_time_remaining.h"

#include "app/app.h"
#include "app/fonts.h"
#include "app/frm_timer.h"
#include "app/product.h"
#include "cycle/break_cycle.h"
#include "cycle/prompts.h"
#include "settings/number_text.h"
#include "tray/tray_animation.h"

namespace unw {

namespace {

constexpr uint32_t kWmSysCommand = 0x0112;
constexpr std::uintptr_t kScScreenSave = 0xF140;

}  // namespace

std::string BreakStatusText(const std::string& time) {
  return std::string(kCompanyName) + " - " + kMakerUrl + " \r\nBreak Time Remaining: " + time +
         '\0';
}

FrmBreakTimeRemaining::FrmBreakTimeRemaining(App& app)
    : Form(app.ui, "frmBreakTimeRemaining"), app_(app) {}

void FrmBreakTimeRemaining::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4560, 1500);
  lngTotalSeconds = lngElapsedSeconds = 0;

  Control& frame = Add(ControlKind::kFrame, "fraTimeRemaining");
  frame.SetCaption("Break Time Remaining (MM:SS)");
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
  stop.SetToolTip("Stop Break");
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
  AddTimer("tmrMain", 1000, false).onTimer = [this] { tmrMain_Timer(); };
}

void FrmBreakTimeRemaining::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  SetTopMost(app_, hWnd(), true);
  // The lock comes first: a screen saver over an unlocked desktop would be no break.
  if (s.LockWorkstationOnBreak == 1) app_.sys.workstation.LockWorkStation();
  if (s.ActivateScreenSaver == 1) StartScreenSaver();
  SetCaption(MakerCaption("KORVANTE - "));
  Ctl("cmdAbout").SetToolTip("About Korvante Unwindle");
  lngTotalSeconds = static_cast<int16_t>(s.BreakMinutes * 60 + s.BreakSeconds);
  lngElapsedSeconds = 0;
  Ctl("lblMinutes").SetCaption(TwoDigit(s.BreakMinutes));
  Ctl("lblSeconds").SetCaption(TwoDigit(s.BreakSeconds));
  if (s.TrayIcon == kTrafficLights) {
    app_.intIconFrame = 1;
    RefreshTrayIcon(app_, BreakStatusText(BreakTimeText()));
  }
  Ctl("tmrMain").SetEnabled(true);
}

void FrmBreakTimeRemaining::StartScreenSaver() {
  app_.sys.windows.SendMsg(app_.frmTimer().hWnd(), kWmSysCommand, kScScreenSave, 0);
}

void FrmBreakTimeRemaining::tmrMain_Timer() {
  if (lngTotalSeconds <= lngElapsedSeconds) {
    Ctl("tmrMain").SetEnabled(false);
    HideWindowsForAlert(app_, true);
    Unload();
    return;
  }
  ++lngElapsedSeconds;
  const int32_t r = lngTotalSeconds - lngElapsedSeconds;
  const std::string minutes = TwoDigit(r / 60);
  const std::string seconds = TwoDigit(r % 60);
  app_.ui.DoEvents();
  // "Stop Break" may have been handled just now; a closed break stays closed.
  if (!loaded()) return;
  Ctl("lblMinutes").SetCaption(minutes);
  Ctl("lblSeconds").SetCaption(seconds);
  RefreshTrayIcon(app_, BreakStatusText(BreakTimeText()));
}

std::string FrmBreakTimeRemaining::BreakTimeText() const {
  const Control* m = Find("lblMinutes");
  const Control* s = Find("lblSeconds");
  if (!m || !s) return "00:00";
  return m->caption() + ":" + s->caption();
}

void FrmBreakTimeRemaining::cmdAbout_Click() {
  app_.frmTimer().cmdAbout_Click();
}

void FrmBreakTimeRemaining::Form_Unload(int& /*cancel*/) {
  Ctl("tmrMain").SetEnabled(false);
  HideWindowsForAlert(app_, true);
}

}  // namespace unw
