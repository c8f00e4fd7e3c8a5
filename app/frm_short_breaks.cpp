#include "app/frm_short_breaks.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "alerts/sounds.h"
#include "app/app.h"
#include "app/fonts.h"
#include "app/time_entry.h"
#include "platform/decimal.h"
#include "settings/product.h"

namespace unw {

namespace {

// A number the dialog edits: its label, box and unit, the setting it stores, and what the user is
// told when the box holds no number of that setting's range ({lo} and {hi} name its limits).
struct NumberField {
  const char* label;
  const char* caption;
  const char* box;
  const char* unit;
  const char* unitCaption;
  int16_t Settings::*setting;
  const char* refusal;
};

constexpr NumberField kMinutes = {
    "lblShortBreakMinutes",
    NT("Short break &every"),
    "txtShortBreakMinutes",
    "lblShortBreakMinutesUnit",
    NT("minutes of work"),
    &Settings::ShortBreakMinutes,
    NT("Short break every: enter a whole number of minutes from {lo} to {hi}.")};
constexpr NumberField kSeconds = {
    "lblShortBreakSeconds",
    NT("Short break &length"),
    "txtShortBreakSeconds",
    "lblShortBreakSecondsUnit",
    NT("seconds"),
    &Settings::ShortBreakSeconds,
    NT("Short break length: enter a whole number of seconds from {lo} to {hi}.")};
constexpr NumberField kHeadsUp = {
    "lblHeadsUpSeconds",
    NT("Heads-up &time"),
    "txtHeadsUpSeconds",
    "lblHeadsUpSecondsUnit",
    NT("seconds before a break"),
    &Settings::HeadsUpSeconds,
    NT("Heads-up time: enter a whole number of seconds from {lo} to {hi}.")};

// What the heads-up box offers while the heads-up is off, ready to be ticked.
constexpr long kSuggestedHeadsUpSeconds = 30;

// The box's number when it is a whole number within the setting's range (its one value outside
// the range, the heads-up's 0 for "none", is the check box's to say).
std::optional<long> InRange(const std::string& text, const SettingInfo& info) {
  const std::optional<int64_t> v = ReadDigits(TrimSpaces(text), 1000000);
  if (!v || *v < info.lo || *v > info.hi) return std::nullopt;
  return static_cast<long>(*v);
}

}  // namespace

FrmShortBreaks::FrmShortBreaks(App& app) : Form(app.ui, "frmShortBreaks"), app_(app) {}

void FrmShortBreaks::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(5520, 3540);
  const Texts& t = app_.texts;
  auto check = [this](const char* name, const std::string& caption, int left, int top) -> Control& {
    Control& c = Add(ControlKind::kCheckBox, name);
    c.SetCaption(caption);
    c.Move(left, top, 5280 - left, 285);
    return c;
  };
  // Label, box and unit on one line; the label comes first, so that its letter reaches the box.
  auto field = [this, &t](const NumberField& f, int top) {
    Control& label = Add(ControlKind::kLabel, f.label);
    label.SetCaption(t.T(f.caption));
    label.Move(480, top + 45, 1920, 255);
    Control& box = Add(ControlKind::kTextBox, f.box);
    box.Move(2460, top, 660, 315);
    box.SetMaxLength(3);
    box.onKeyPress = FilterDigitKey;
    box.onGotFocus = [&box] { SelectAll(box); };
    Control& unit = Add(ControlKind::kLabel, f.unit);
    unit.SetCaption(t.T(f.unitCaption));
    unit.Move(3240, top + 45, 2160, 255);
  };
  check("chkShortBreaks", t.T("Take short &breaks between the long ones"), 240, 180).onClick =
      [this] { chkShortBreaks_Click(); };
  field(kMinutes, 600);
  field(kSeconds, 1020);
  check("chkShortBreakSound", t.T("&Play a soft sound when a short break starts and ends"), 480,
        1440);
  check("chkHeadsUp", t.T("Show a &heads-up before each break"), 240, 1980).onClick = [this] {
    chkHeadsUp_Click();
  };
  field(kHeadsUp, 2400);
  Control& save = Add(ControlKind::kButton, "cmdSave");
  save.SetCaption(t.T("&Save"));
  save.Move(2760, 3000, 1140, 375);
  save.SetDialogKeys(true, false);
  save.onClick = [this] { cmdSave_Click(); };
  Control& cancel = Add(ControlKind::kButton, "cmdCancel");
  cancel.SetCaption(t.T("&Cancel"));
  cancel.Move(4080, 3000, 1140, 375);
  cancel.SetDialogKeys(false, true);
  cancel.onClick = [this] { cmdCancel_Click(); };
}

void FrmShortBreaks::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  // A break that falls due now waits until the dialog closes: what the user typed stays.
  app_.cycle.HoldFor(HoldReason::kPreferences, true);
  SetCaption(app_.texts.T("KORVANTE Unwindle - Short Breaks"));
  Ctl("chkShortBreaks").SetValue(s.ShortBreaks == 1 ? 1 : 0);
  Ctl(kMinutes.box).SetText(std::to_string(s.ShortBreakMinutes));
  Ctl(kSeconds.box).SetText(std::to_string(s.ShortBreakSeconds));
  Ctl("chkShortBreakSound").SetValue(s.ShortBreakSound == 1 ? 1 : 0);
  const bool headsUp = s.HeadsUpSeconds != 0;
  const SettingInfo& info = Setting(kHeadsUp.setting);
  Ctl("chkHeadsUp").SetValue(headsUp ? 1 : 0);
  Ctl(kHeadsUp.box)
      .SetText(std::to_string(headsUp
                                  ? long{s.HeadsUpSeconds}
                                  : std::clamp<long>(kSuggestedHeadsUpSeconds, info.lo, info.hi)));
  ShowEnabled();
}

void FrmShortBreaks::ShowEnabled() {
  const bool shortBreaks = Ctl("chkShortBreaks").value() == 1;
  const bool headsUp = Ctl("chkHeadsUp").value() == 1;
  for (const NumberField* f : {&kMinutes, &kSeconds, &kHeadsUp}) {
    const bool on = f == &kHeadsUp ? headsUp : shortBreaks;
    for (const char* name : {f->label, f->box, f->unit}) Ctl(name).SetEnabled(on);
  }
  Ctl("chkShortBreakSound").SetEnabled(shortBreaks);
}

void FrmShortBreaks::cmdSave_Click() {
  Settings& s = app_.settings;
  const bool shortBreaks = Ctl("chkShortBreaks").value() == 1;
  const bool headsUp = Ctl("chkHeadsUp").value() == 1;
  struct Chosen {
    const SettingInfo& info;
    long value;
  };
  std::vector<Chosen> chosen;
  for (const NumberField* f : {&kMinutes, &kSeconds, &kHeadsUp}) {
    const SettingInfo& info = Setting(f->setting);
    const bool on = f == &kHeadsUp ? headsUp : shortBreaks;
    const std::optional<long> v = InRange(Ctl(f->box).text(), info);
    if (on && !v) {
      app_.ui.MsgBox(this, Warning(app_.texts.T(f->refusal, {{"lo", std::to_string(info.lo)},
                                                             {"hi", std::to_string(info.hi)}}),
                                   kMainCaption));
      Ctl(f->box).SetFocus();
      return;
    }
    // Off, the heads-up is stored as none; the short breaks' numbers, which cannot be edited
    // then, stay as they were when the box does not hold one of their range.
    chosen.push_back({info, f == &kHeadsUp ? (headsUp ? *v : 0) : v.value_or(info.Get(s))});
  }
  chosen.push_back({Setting(&Settings::ShortBreaks), shortBreaks ? 1 : 0});
  chosen.push_back(
      {Setting(&Settings::ShortBreakSound), Ctl("chkShortBreakSound").value() == 1 ? 1 : 0});
  bool saved = true, changed = false;
  for (const Chosen& c : chosen) {
    saved &= app_.store.WriteSettingValue(c.info.name, std::to_string(c.value));
    changed |= c.info.Get(s) != c.value;
    // In effect at once, kept or not: the user is told when the store refused.
    c.info.Set(s, c.value);
  }
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  // Saved as it was, the short breaks' clock goes on where it stands.
  if (changed) app_.cycle.ShortBreaksChanged();
  Unload();
}

void FrmShortBreaks::Form_Unload(int& /*cancel*/) {
  app_.cycle.HoldFor(HoldReason::kPreferences, false);
}

}  // namespace unw
