// frmPreferences: the dialog in which the user edits the stored settings
// (all but the window options of the main window's Options menu).
#pragma once

#include <string>

#include "forms/form.h"
#include "settings/settings.h"

namespace unw {

class App;

// How a control of the dialog edits a stored setting.
enum class FieldKind {
  kNumber,  // digits, cut to the setting's largest value on saving
  kLimit,   // the reminder limit: a digit, or "No Limit" (99) by its option
  kCheck,   // 0 or 1
  kOption,  // the selected item of an option group
  kList,    // the selected entry of a drop-down list
  kPath,    // the custom sound's full path (strCustomSound)
};
struct SettingField {
  const char* control;
  SettingRef setting;
  FieldKind kind;
};
// Every setting the dialog edits, in the order saving stores them.
inline constexpr SettingField kSettingFields[] = {
    {"txtHours", &Settings::Hours, FieldKind::kNumber},
    {"txtMinutes", &Settings::Minutes, FieldKind::kNumber},
    {"txtSeconds", &Settings::Seconds, FieldKind::kNumber},
    {"txtBreakMinutes", &Settings::BreakMinutes, FieldKind::kNumber},
    {"txtBreakSeconds", &Settings::BreakSeconds, FieldKind::kNumber},
    {"txtSnoozeMinutes", &Settings::SnoozeMinutes, FieldKind::kNumber},
    {"txtSnoozeSeconds", &Settings::SnoozeSeconds, FieldKind::kNumber},
    {"txtSnoozeLimit", &Settings::NumberOfSnooze, FieldKind::kLimit},
    {"optAlertMeBy", &Settings::AlertMeBy, FieldKind::kOption},
    {"chkLockWorkStation", &Settings::LockWorkstationOnBreak, FieldKind::kCheck},
    {"chkActivateScreenSaver", &Settings::ActivateScreenSaver, FieldKind::kCheck},
    {"chkStartTimerOnLaunch", &Settings::StartTimerOnLaunch, FieldKind::kCheck},
    {"chkBalloonTipsEnabled", &Settings::BalloonTipsEnabled, FieldKind::kCheck},
    {"optAudioType", &Settings::AudioType, FieldKind::kOption},
    {"cboSelectedSound", &Settings::SelectedSound, FieldKind::kList},
    {"txtCustomSoundFileName", &Settings::CustomSound, FieldKind::kPath},
    {"cboTrayIcon", &Settings::TrayIcon, FieldKind::kList},
};

// Why locking the workstation and starting the screen saver are not offered, where the system
// has nothing that does them.
inline constexpr const char* kNoLockerText = NT("Nothing on this desktop locks the screen.");
inline constexpr const char* kNoScreenSaverText = NT("This desktop has no screen saver to start.");

class FrmPreferences : public Form {
 public:
  explicit FrmPreferences(App& app);

  void optSnoozeLimit_Click(int index);
  void cboSelectedSound_Click();
  void cboTrayIcon_Click();
  void cmdDefaults_Click();
  void cmdSave_Click();
  void cmdExit_Click();
  void cmdAbout_Click();
  void cmdSoundPreview_Click();
  void cmdCustomSoundPreview_Click();
  void cmdBrowseCustomSound_Click();
  // Stores the dialog's values and applies them to the running program; false (and the user
  // told so) when the store did not take them all.
  bool SavePreferences();

  std::string strCustomSound;  // full path of the custom sound chosen here

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;
  void Form_Unload(int& cancel) override;

 private:
  // The options the system cannot carry out, disabled and saying why; the beeps named as what
  // they are.
  void ShowWhatTheSystemOffers();
  void Changed() { Ctl("cmdSave").SetEnabled(true); }
  void ShowTrayIconPreview();
  void SelectOption(const char* group, int index);
  int SelectedOption(const char* group) const;
  // Shows the setting's value (`value` as text for the path) in its control.
  void Fill(const SettingField& field, long value, const std::string& text = "");
  // Stores what the control holds; false when the store refused the write.
  bool Store(const SettingField& field);

  App& app_;
  bool blnCloseClicked = false;
};

}  // namespace unw
