#include "app/frm_break_screen_options.h"

#include <string>

#include "app/app.h"
#include "app/fonts.h"
#include "settings/product.h"

namespace unw {

FrmBreakScreenOptions::FrmBreakScreenOptions(App& app)
    : Form(app.ui, "frmBreakScreenOptions"), app_(app) {}

void FrmBreakScreenOptions::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(5520, 3060);
  const Texts& t = app_.texts;
  auto add = [this](ControlKind kind, const char* name, const std::string& caption, int left,
                    int top) -> Control& {
    Control& c = Add(kind, name);
    c.SetCaption(caption);
    c.Move(left, top, 5280 - left, 285);
    return c;
  };
  add(ControlKind::kOption, "optBreakWindow", t.T("Show the break in a small &window"), 240, 180)
      .onClick = [this] { optBreakWindow_Click(); };
  add(ControlKind::kOption, "optBreakScreen", t.T("Show the break on a &full screen"), 240, 540)
      .onClick = [this] { optBreakScreen_Click(); };
  add(ControlKind::kCheckBox, "chkShortBreakScreen",
      t.T("Show short breaks on the full screen &too"), 240, 1020)
      .onClick = [this] { chkShortBreakScreen_Click(); };
  add(ControlKind::kCheckBox, "chkStrictBreaks", t.T("St&rict: no way to postpone or skip a break"),
      240, 1440);
  add(ControlKind::kCheckBox, "chkBreakIdeas", t.T("Show an &idea for each break"), 240, 1860);
  Control& save = Add(ControlKind::kButton, "cmdSave");
  save.SetCaption(t.T("&Save"));
  save.Move(2760, 2520, 1140, 375);
  save.SetDialogKeys(true, false);
  save.onClick = [this] { cmdSave_Click(); };
  Control& cancel = Add(ControlKind::kButton, "cmdCancel");
  cancel.SetCaption(t.T("&Cancel"));
  cancel.Move(4080, 2520, 1140, 375);
  cancel.SetDialogKeys(false, true);
  cancel.onClick = [this] { cmdCancel_Click(); };
}

void FrmBreakScreenOptions::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  // A break that falls due now waits until the dialog closes, as for the other settings.
  app_.cycle.HoldFor(HoldReason::kPreferences, true);
  SetCaption(app_.texts.T("KORVANTE Unwindle - Break Screen"));
  Ctl("optBreakWindow").SetValue(s.BreakScreen == 1 ? 0 : 1);
  Ctl("optBreakScreen").SetValue(s.BreakScreen == 1 ? 1 : 0);
  Ctl("chkShortBreakScreen").SetValue(s.ShortBreakScreen == 1 ? 1 : 0);
  Ctl("chkStrictBreaks").SetValue(s.StrictBreaks == 1 ? 1 : 0);
  Ctl("chkBreakIdeas").SetValue(s.BreakIdeas == 1 ? 1 : 0);
  ShowEnabled();
}

void FrmBreakScreenOptions::optBreakWindow_Click() {
  Ctl("optBreakScreen").SetValue(0);
  ShowEnabled();
}

void FrmBreakScreenOptions::optBreakScreen_Click() {
  Ctl("optBreakWindow").SetValue(0);
  ShowEnabled();
}

void FrmBreakScreenOptions::ShowEnabled() {
  Ctl("chkStrictBreaks")
      .SetEnabled(Ctl("optBreakScreen").value() == 1 || Ctl("chkShortBreakScreen").value() == 1);
}

void FrmBreakScreenOptions::cmdSave_Click() {
  Settings& s = app_.settings;
  const std::pair<int16_t Settings::*, bool> chosen[] = {
      {&Settings::BreakScreen, Ctl("optBreakScreen").value() == 1},
      {&Settings::ShortBreakScreen, Ctl("chkShortBreakScreen").value() == 1},
      {&Settings::StrictBreaks, Ctl("chkStrictBreaks").value() == 1},
      {&Settings::BreakIdeas, Ctl("chkBreakIdeas").value() == 1},
  };
  bool saved = true;
  for (const auto& [setting, on] : chosen) {
    const SettingInfo& info = Setting(setting);
    saved &= app_.store.WriteSettingValue(info.name, on ? "1" : "0");
    // In effect from the next break, kept or not: the user is told when the store refused.
    info.Set(s, on ? 1 : 0);
  }
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  Unload();
}

void FrmBreakScreenOptions::Form_Unload(int& /*cancel*/) {
  app_.cycle.HoldFor(HoldReason::kPreferences, false);
}

}  // namespace unw
