// Storing the preferences and applying them to the running program.
#include "app/app.h"
#include "settings/product.h"
#include "cycle/break_cycle.h"
#include "app/time_entry.h"
#include "app/frm_preferences.h"
#include "settings/number_text.h"

namespace unw {

bool FrmPreferences::Store(const SettingField& field) {
  Settings& s = app_.settings;
  SettingsStore& store = app_.store;
  const SettingInfo& info = Setting(field.setting);
  // Option groups are arrays: their items are asked for below.
  Control& c = field.kind == FieldKind::kOption ? Ctl(field.control, 0) : Ctl(field.control);
  auto write = [&](const std::string& text) { return store.WriteSettingValue(info.name, text); };
  bool ok = true;
  switch (field.kind) {
    case FieldKind::kNumber:
      // Stored as it stands ("05" stays "05"); an empty field, or pasted text that is not a
      // number, stores nothing and shows the value in effect again.
      if (auto v = FieldNumber(c, info)) {
        ok = write(c.text());
        info.Set(s, *v);
      }
      c.SetText(TwoDigit(info.Get(s)));
      break;
    case FieldKind::kLimit: {
      long v = 0;
      if (SelectedOption("optSnoozeLimit") == 0) {
        ok = write("99");
        info.Set(s, 99);
        c.SetText("3");
        break;
      }
      if (DigitsOnly(c.text(), v) && v <= info.hi) {
        ok = write(c.text());
        info.Set(s, v);
      }
      c.SetText(std::to_string(info.Get(s)));
      break;
    }
    case FieldKind::kCheck: {
      const bool on = c.value() == 1;
      ok = write(on ? "1" : "0");
      info.Set(s, on ? 1 : 0);
      break;
    }
    case FieldKind::kOption:
      if (const int i = SelectedOption(field.control); i >= 0) {
        ok = write(std::to_string(i));
        info.Set(s, i);
      }
      break;
    case FieldKind::kList: {
      // The working copy follows what the store holds after writing, unless the store did
      // not take it: then the dialog's choice is in effect until the program ends.
      const int v = c.value();
      if (!info.InRange(v)) break;
      ok = write(std::to_string(v));
      if (!ok || !store.ReadInto(info, s) || !info.InRange(info.Get(s))) info.Set(s, v);
      break;
    }
    case FieldKind::kPath:
      ok = write(strCustomSound);
      if (!ok || !store.ReadInto(info, s)) s.CustomSound = StoredText(strCustomSound);
      break;
  }
  return ok;
}

bool FrmPreferences::SavePreferences() {
  bool saved = true;
  for (const SettingField& f : kSettingFields) saved &= Store(f);
  app_.sounds.PrepareCustomSound();  // a new choice of file is read ahead
  app_.cycle.PreferencesSaved();
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  return saved;
}

}  // namespace unw
