#include "app/frm_working_hours.h"

#include <array>

#include "app/app.h"
#include "app/fonts.h"
#include "app/time_entry.h"
#include "settings/product.h"
#include "settings/working_hours.h"

namespace unw {

namespace {

std::string Indexed(const char* name, int day) {
  return name + std::to_string(day);
}

// The days from Monday, each with a letter of its own: Alt+S is Save, Alt+T Tuesday.
constexpr const char* kDayCaptions[7] = {NT("&Monday"),   NT("&Tuesday"), NT("&Wednesday"),
                                         NT("T&hursday"), NT("&Friday"),  NT("S&aturday"),
                                         NT("S&unday")};

// Time boxes take digits and the colon; Backspace passes.
void FilterClockKey(int& key) {
  if (key != 8 && key != ':' && (key < '0' || key > '9')) key = 0;
}

}  // namespace

FrmWorkingHours::FrmWorkingHours(App& app) : Form(app.ui, "frmWorkingHours"), app_(app) {}

void FrmWorkingHours::Design() {
  const Texts& texts = app_.texts;
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4680, 4320);
  Control& on = Add(ControlKind::kCheckBox, "chkWorkingHours");
  on.SetCaption(texts.T("Remind me only during working hours"));
  on.Move(240, 180, 4200, 285);
  Control& from = Add(ControlKind::kLabel, "lblFrom");
  // TRANSLATORS: heading of the column of times at which each working day starts.
  from.SetCaption(texts.T("From"));
  from.Move(1920, 600, 900, 240);
  Control& to = Add(ControlKind::kLabel, "lblTo");
  // TRANSLATORS: heading of the column of times at which each working day ends.
  to.SetCaption(texts.T("To"));
  to.Move(3120, 600, 900, 240);
  for (int d = 0; d < 7; ++d) {
    const int top = 900 + d * 390;
    Control& day = Add(ControlKind::kCheckBox, Indexed("chkDay", d));
    day.SetCaption(texts.T(kDayCaptions[d]));
    day.Move(480, top, 1320, 285);
    day.onClick = [this, d] { chkDay_Click(d); };
    for (const char* box : {"txtFrom", "txtTo"}) {
      Control& t = Add(ControlKind::kTextBox, Indexed(box, d));
      t.Move(box[3] == 'F' ? 1920 : 3120, top - 15, 900, 315);
      t.SetMaxLength(5);
      t.onKeyPress = FilterClockKey;
      t.onGotFocus = [&t] { SelectAll(t); };
    }
  }
  Control& save = Add(ControlKind::kButton, "cmdSave");
  save.SetCaption(texts.T("&Save"));
  save.Move(1920, 3720, 1140, 375);
  save.SetDialogKeys(true, false);
  save.onClick = [this] { cmdSave_Click(); };
  Control& cancel = Add(ControlKind::kButton, "cmdCancel");
  cancel.SetCaption(texts.T("&Cancel"));
  cancel.Move(3240, 3720, 1140, 375);
  cancel.SetDialogKeys(false, true);
  cancel.onClick = [this] { cmdCancel_Click(); };
}

void FrmWorkingHours::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  // A break that falls due now waits until the dialog closes: what the user typed stays.
  app_.cycle.HoldFor(HoldReason::kPreferences, true);
  SetCaption(app_.texts.T("KORVANTE Unwindle - Working Hours"));
  Ctl("chkWorkingHours").SetValue(s.WorkingHoursEnabled == 1 ? 1 : 0);
  const WorkingHours hours = ReadWorkingHours(s.WorkingHours).hours;
  const WorkingHours defaults = ReadWorkingHours(kDefaultWorkingHoursText).hours;
  for (int d = 0; d < 7; ++d) {
    const DayHours& h = hours.days[d];
    // A day off shows the usual hours, ready to be ticked.
    const DayHours& shown = h.working                  ? h
                            : defaults.days[d].working ? defaults.days[d]
                                                       : defaults.days[0];
    Ctl(Indexed("chkDay", d)).SetValue(h.working ? 1 : 0);
    Ctl(Indexed("txtFrom", d)).SetText(ClockText(shown.from));
    Ctl(Indexed("txtTo", d)).SetText(ClockText(shown.to));
    chkDay_Click(d);
  }
}

void FrmWorkingHours::chkDay_Click(int day) {
  const bool working = Ctl(Indexed("chkDay", day)).value() == 1;
  for (const char* box : {"txtFrom", "txtTo"}) Ctl(Indexed(box, day)).SetEnabled(working);
}

void FrmWorkingHours::cmdSave_Click() {
  std::array<DayEntry, 7> entries;
  for (int d = 0; d < 7; ++d) {
    entries[d] = {Ctl(Indexed("chkDay", d)).value() == 1, Ctl(Indexed("txtFrom", d)).text(),
                  Ctl(Indexed("txtTo", d)).text()};
  }
  const bool enabled = Ctl("chkWorkingHours").value() == 1;
  const WorkingHoursCheck check = CheckWorkingHours(app_.texts, entries, enabled);
  if (!check.hours) {
    app_.ui.MsgBox(this, Warning(check.message, kMainCaption));
    if (check.day >= 0) Ctl(Indexed(check.atEnd ? "txtTo" : "txtFrom", check.day)).SetFocus();
    return;
  }
  Settings& s = app_.settings;
  const std::string text = FormatWorkingHours(*check.hours);
  bool saved = app_.store.WriteSettingValue(Setting(&Settings::WorkingHoursEnabled).name,
                                            enabled ? "1" : "0");
  saved &= app_.store.WriteSettingValue(Setting(&Settings::WorkingHours).name, text);
  // In effect at once, kept or not: the user is told when the store refused.
  s.WorkingHoursEnabled = enabled ? 1 : 0;
  s.WorkingHours = text;
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  Unload();
  app_.cycle.RecheckClock();
}

void FrmWorkingHours::Form_Unload(int& /*cancel*/) {
  app_.cycle.HoldFor(HoldReason::kPreferences, false);
}

}  // namespace unw
