// Storing the preferences and applying them to the running program.
#include "app/app.h"
#include "app/frm_timer.h"
#include "cycle/time_entry.h"
#include "settings/frm_preferences.h"
#include "settings/number_text.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

#include <type_traits>

namespace unw {

void FrmPreferences::SavePreferences() {
  Settings& s = app_.settings;
  SettingsStore& store = app_.store;
  auto write = [&store](const char* name, const std::string& text) {
    store.WriteSettingValue(kSettingsKey, name, text);
  };
  // A field limited to `limit` is stored as it stands (leading zeros kept). An
  // empty field, or text pasted in that is not a number, is not stored at all.
  auto number = [&](const char* box, const char* name, long limit, auto& target) {
    Control& field = Ctl(box);
    long v = 0;
    if (DigitsOnly(field.text(), v)) {
      if (v > limit) {
        field.SetText(std::to_string(limit));
        v = limit;
      }
      write(name, field.text());
      target = static_cast<std::remove_reference_t<decltype(target)>>(v);
    }
    field.SetText(TwoDigit(target));
  };
  number("txtHours", "Hours", 99, s.Hours);
  number("txtMinutes", "Minutes", 59, s.Minutes);
  number("txtSeconds", "Seconds", 59, s.Seconds);
  number("txtBreakMinutes", "BreakMinutes", 59, s.BreakMinutes);
  number("txtBreakSeconds", "BreakSeconds", 59, s.BreakSeconds);
  number("txtSnoozeMinutes", "SnoozeMinutes", 59, s.SnoozeMinutes);
  number("txtSnoozeSeconds", "SnoozeSeconds", 59, s.SnoozeSeconds);

  Control& limitBox = Ctl("txtSnoozeLimit");
  if (SelectedOption("optSnoozeLimit") == 0) {
    write("NumberOfSnooze", "99");
    s.NumberOfSnooze = 99;
    limitBox.SetText("3");
  } else {
    long v = 0;
    if (DigitsOnly(limitBox.text(), v) && v <= 9) {
      write("NumberOfSnooze", limitBox.text());
      s.NumberOfSnooze = static_cast<int16_t>(v);
    }
    limitBox.SetText(std::to_string(s.NumberOfSnooze));
  }

  const int alertBy = SelectedOption("optAlertMeBy") == 0 ? 0 : 1;
  write("AlertMeBy", std::to_string(alertBy));
  s.AlertMeBy = static_cast<int16_t>(alertBy);
  auto check = [&](const char* box, const char* name, int16_t& target) {
    const int16_t on = Ctl(box).value() == 1 ? 1 : 0;
    write(name, on ? "1" : "0");
    target = on;
  };
  check("chkLockWorkStation", "LockWorkstationOnBreak", s.LockWorkstationOnBreak);
  check("chkActivateScreenSaver", "ActivateScreenSaver", s.ActivateScreenSaver);
  check("chkStartTimerOnLaunch", "StartTimerOnLaunch", s.StartTimerOnLaunch);
  check("chkBalloonTipsEnabled", "BalloonTipsEnabled", s.BalloonTipsEnabled);
  const int audio = SelectedOption("optAudioType");
  if (audio >= 0) {
    write("AudioType", std::to_string(audio));
    s.AudioType = static_cast<int16_t>(audio);
  }
  // These three follow what the store holds after writing.
  write("SelectedSound", std::to_string(Ctl("cboSelectedSound").value()));
  store.ReadInto(*FindSetting("SelectedSound"), s);
  write("CustomSound", strCustomSound);
  store.ReadInto(*FindSetting("CustomSound"), s);
  write("TrayIcon", std::to_string(Ctl("cboTrayIcon").value()));
  store.ReadInto(*FindSetting("TrayIcon"), s);

  // The tray shows the new set at once, with its tooltip unchanged.
  const std::string tip = app_.trayIconData.szTip;
  RefreshTrayIcon(app_, tip);
  app_.trayIconData.szTip = tip;

  FrmTimer& main = app_.frmTimer();
  if (main.Ctl("tmrMain").enabled() || main.blnPause) return;
  main.Ctl("lblHours").SetCaption(TwoDigit(s.Hours));
  main.Ctl("lblMinutes").SetCaption(TwoDigit(s.Minutes));
  main.Ctl("lblSeconds").SetCaption(TwoDigit(s.Seconds));
  if (std::uintptr_t icon = GetTrayIconPicture(app_, kPictureIdle)) app_.trayIconData.hIcon = icon;
  app_.trayIconData.szTip = FixedField(WorkStatusText(main.TimeRemaining(), kStopped), kTipChars);
  ModifyTrayIcon(app_);
}

}  // namespace unw
