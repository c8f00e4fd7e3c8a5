#include "app/frm_short_break.h"

#include "app/app.h"
#include "app/fonts.h"
#include "settings/number_text.h"
#include "settings/product.h"

namespace unw {

namespace {

// A small window that comes by itself: on top, centred where the user works, in the system's font.
void ShowUnasked(App& app, Form& form) {
  ApplyWindowFonts(app, form);
  app.sys.windows.SetTopMost(form.hWnd(), true);
  form.CenterIn(app.sys.presence.PointerWorkArea());
}

}  // namespace

std::string HeadsUpText(HeadsUpKind kind, int32_t seconds) {
  const bool one = seconds == 1;
  const std::string n = std::to_string(seconds);
  if (kind == HeadsUpKind::kShort)
    return one ? "A short break in 1 second." : "A short break in " + n + " seconds.";
  return one ? "A break in 1 second." : "A break in " + n + " seconds.";
}

FrmShortBreak::FrmShortBreak(App& app) : Form(app.ui, "frmShortBreak"), app_(app) {}

void FrmShortBreak::Design() {
  SetCaption("KORVANTE Unwindle - Short Break");
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4440, 1200);
  Control& text = Add(ControlKind::kLabel, "lblShortBreakText");
  text.SetCaption("Look away from the screen for a moment.");
  text.Move(180, 150, 4080, 255);
  Control& time = Add(ControlKind::kLabel, "lblShortBreakTime");
  time.SetCaption("0:00");
  time.Move(180, 480, 1440, 540);
  Font big;
  big.size = 18;
  big.bold = true;
  big.weight = 700;
  time.SetFont(big);
  Control& later = Add(ControlKind::kButton, "cmdShortBreakLater");
  later.SetCaption("&Later");
  later.Move(1800, 600, 1140, 375);
  later.onClick = [this] { cmdShortBreakLater_Click(); };
  Control& skip = Add(ControlKind::kButton, "cmdShortBreakSkip");
  skip.SetCaption("S&kip");
  skip.Move(3120, 600, 1140, 375);
  skip.SetDialogKeys(false, true);  // Esc skips, as the close box does
  skip.onClick = [this] { cmdShortBreakSkip_Click(); };
}

void FrmShortBreak::Form_Load() {
  ShowUnasked(app_, *this);
}

void FrmShortBreak::ShowCycle(const CycleSnapshot& s) {
  if (!s.shortBreakOn || s.onScreen) {
    // Over (or on the break screen): closed here, without a word to the cycle (see
    // Form_QueryUnload).
    if (loaded()) Unload();
    return;
  }
  if (!loaded()) Show(false, false);
  if (!loaded()) return;
  Ctl("lblShortBreakTime").SetCaption(MinutesSeconds(s.shortBreak.remaining()));
  Ctl("cmdShortBreakLater").SetEnabled(s.shortLaterAllowed);
}

void FrmShortBreak::cmdShortBreakLater_Click() {
  app_.cycle.ShortBreakLater();
}

void FrmShortBreak::cmdShortBreakSkip_Click() {
  app_.cycle.ShortBreakSkip();
}

void FrmShortBreak::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  // Only the user's close skips the short break: the window closes by code when the snapshot says
  // the short break is over (or the program ends), and the cycle knows that already.
  if (unloadMode == kUnloadFormControlMenu) app_.cycle.ShortBreakSkip();
}

FrmHeadsUp::FrmHeadsUp(App& app) : Form(app.ui, "frmHeadsUp"), app_(app) {}

void FrmHeadsUp::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4440, 1080);
  Control& text = Add(ControlKind::kLabel, "lblHeadsUp");
  text.Move(180, 180, 4080, 255);
  Control& later = Add(ControlKind::kButton, "cmdHeadsUpLater");
  later.SetCaption("In &5 Minutes");
  later.Move(2640, 540, 1620, 375);
  later.onClick = [this] { cmdHeadsUpLater_Click(); };
}

void FrmHeadsUp::Form_Load() {
  ShowUnasked(app_, *this);
}

void FrmHeadsUp::ShowCycle(const CycleSnapshot& s) {
  if (s.headsUp == HeadsUpKind::kNone) {
    if (loaded()) Unload();
    return;
  }
  if (!loaded()) Show(false, false);
  if (!loaded()) return;
  Ctl("lblHeadsUp").SetCaption(HeadsUpText(s.headsUp, s.headsUpSeconds));
  Ctl("cmdHeadsUpLater").SetEnabled(s.headsUpLaterAllowed);
}

void FrmHeadsUp::cmdHeadsUpLater_Click() {
  app_.cycle.HeadsUpLater();
}

void FrmHeadsUp::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  if (unloadMode == kUnloadFormControlMenu) app_.cycle.HeadsUpClose();
}

}  // namespace unw
