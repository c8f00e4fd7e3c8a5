// frmTimer, the main window: the work countdown's display and buttons, the
// one-time change, the menu bar with the window options, the tray popup menu,
// and the program's start and end. Where the cycle stands is the break
// cycle's; this window shows it and passes the user's clicks on.
#pragma once

#include <cstdint>
#include <string>

#include "cycle/cycle_view.h"
#include "forms/form.h"
#include "settings/settings.h"

namespace unw {

class App;

class FrmTimer : public Form {
 public:
  explicit FrmTimer(App& app);

  // Work timer.
  void cmdStart_Click();
  void cmdPause_Click();
  void cmdStop_Click();
  void cmdUnwindle_Click();
  // The work time shown, as "HH:MM:SS".
  std::string TimeRemaining() const;

  // One-time change of the work interval.
  void cmdChange_Click();
  void cmdSave_Click();

  // Menus and buttons of the window.
  void cmdAbout_Click();
  void cmdExit_Click();
  void mnuLockWorkStation_Click();
  void mnuExit_Click();
  void mPopExit_Click();
  void mnuAlwaysOnTop_Click();
  void mnuHideWhenMinimized_Click();
  void mnuLaunchMinimized_Click();
  void mnuLaunchOnStartup_Click();
  void mnuHoldForFullScreen_Click();
  void mnuHoldForCalls_Click();
  void mnuHoldForDnd_Click();
  void mnuHoldForPrograms_Click();
  void mnuSleepIsBreak_Click();
  void mnuIdleIsBreak_Click();
  void mnuPreferences_Click();
  void mnuPreferencesPopMenu_Click();
  void mnuKeepHistory_Click();
  void mnuStatistics_Click();
  void mnuStatisticsPopMenu_Click() { mnuStatistics_Click(); }
  void mnuThemeSystem_Click();
  void mnuThemeLight_Click();
  void mnuThemeDark_Click();
  void mnuAbout_Click();
  void mnuStart_Click() { cmdStart_Click(); }
  void mnuPause_Click() { cmdPause_Click(); }
  void mnuStop_Click() { cmdStop_Click(); }
  void mnuUnwindle_Click();
  void mnuStopBreakPopUp_Click();
  // A pause that ends by itself, and its early end (the tray menu and the File menu).
  void mnuPause30_Click();
  void mnuPause60_Click();
  void mnuPause120_Click();
  void mnuPauseTomorrow_Click();
  void mnuResume_Click();
  void mnuWorkingHours_Click();
  void mnuShortBreaks_Click();
  void mnuBreakScreen_Click();
  void mnuBreakIdeas_Click();
  void mPopRestore_Click();
  void mPopAbout_Click();

  // Says every text of the window and its menus in the language in use, and checks it in the
  // Language menu.
  void Relabel();
  // The Language menu: `tag` ("" follows Windows) is stored and spoken at once.
  void ChooseLanguage(const std::string& tag);

  // Shows where the cycle stands: the time, the buttons and the tray menu's items.
  void ShowCycle(const CycleSnapshot& s);
  // The exit question is open (or was answered Yes).
  bool blnExitQuestion() const { return exitQuestion_; }
  // The one-time change is being edited.
  bool editing() const { return editing_; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;
  bool HidesWhenMinimized() const;
  void Form_Resize() override;
  void Form_Unload(int& cancel) override;

 private:
  enum class Column { kStopped, kStarted, kPaused };
  void ShowTime(const Countdown& work);
  void ShowButtons(Column c);
  void ShowMenuItems(CycleState state);
  // "Pause For" and its items, in the tray menu (`prefix` "mnu") and the File menu ("mnuFile").
  void AddPauseMenu(const std::string& prefix, Control& parent);
  // Entering or leaving the one-time change: Start, break now and the tray's timer items.
  void ShowEditing();
  void Wire(const char* name, void (FrmTimer::*handler)());
  // Turns the start at sign-in on or off; false when the system refused.
  bool SetLaunchOnStartup(bool on);
  // Switches a 0/1 window option; other values are left alone.
  bool ToggleOption(int16_t Settings::*option, const char* menu);
  // The check mark of the programs' item: whether any program holds alerts.
  void ShowHeldPrograms();
  // The items whose service the system lacks: disabled, their tips saying why.
  void ShowWhatTheSystemOffers();
  // The Theme menu: the user's choice (0 as Windows is set, 1 light, 2 dark) stored and shown.
  void ChooseTheme(int16_t choice);
  void ShowTheme();

  App& app_;
  bool editing_ = false;
  bool startedUp_ = false;  // Form_Load has run
  bool exitQuestion_ = false;
  // The cycle has left the stopped state it starts in: until then the buttons and the tray menu
  // keep their design captions.
  bool transitioned_ = false;
};

}  // namespace unw
