// frmPreferences: the dialog in which the user edits the stored settings
// (all but the window options of the main window's Options menu).
#pragma once

#include <string>

#include "forms/form.h"

namespace unw {

class App;

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
  // Stores the dialog's values and applies them to the running program.
  void SavePreferences();

  std::string strCustomSound;  // full path of the custom sound chosen here

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;

 private:
  void Changed() { Ctl("cmdSave").SetEnabled(true); }
  void ShowTrayIconPreview();
  void SelectOption(const char* group, int index);
  int SelectedOption(const char* group) const;

  App& app_;
  bool blnCloseClicked = false;
};

// The number fields of the dialog: name, the setting it edits, most characters.
struct NumberField {
  const char* box;
  const char* setting;
  int maxLength;
};
inline constexpr NumberField kNumberFields[] = {
    {"txtHours", "Hours", 2},
    {"txtMinutes", "Minutes", 2},
    {"txtSeconds", "Seconds", 2},
    {"txtBreakMinutes", "BreakMinutes", 2},
    {"txtBreakSeconds", "BreakSeconds", 2},
    {"txtSnoozeMinutes", "SnoozeMinutes", 2},
    {"txtSnoozeSeconds", "SnoozeSeconds", 2},
    {"txtSnoozeLimit", "NumberOfSnooze", 1},
};

}  // namespace unw
