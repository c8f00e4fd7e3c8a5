// frmTimer, the main window: the work countdown, the menu bar with the
// window options, the tray popup menu, and the program's start and end.
#pragma once

#include <cstdint>
#include <string>

#include "forms/form.h"

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
  void tmrMain_Timer();
  // The displayed work time as "HH:MM:SS".
  std::string TimeRemaining() const;
  // Reloads Hours, Minutes and Seconds from the store, repairing them.
  void LoadWorkInterval();
  // Carries out a prompt's answer (0 remind later, 1 break, 2 stop, 3 restart).
  void HandleCustomMessage(int intMessageResponse);

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
  void mnuPreferences_Click();
  void mnuPreferencesPopMenu_Click();
  void mnuAbout_Click();
  void mnuStart_Click() { cmdStart_Click(); }
  void mnuPause_Click() { cmdPause_Click(); }
  void mnuStop_Click() { cmdStop_Click(); }
  void mnuUnwindle_Click() { cmdUnwindle_Click(); }

  // Tray.
  void tmrFlash_Timer();
  void RestoreFromTray();
  void ShowTrayMenu();
  void AcknowledgeTrayAlert();
  void EndBalloonAlert();
  // The time-up alert: the break prompt at once, or a tray alert.
  void AlertUser();
  void tmrPlaySound_Timer();
  void tmrBalloonTip_Timer();
  void mnuStopBreakPopUp_Click();
  void mPopRestore_Click();
  void mPopAbout_Click();
  // Ends a tray alert (balloon, flashing, repeat) without opening the prompt.
  void EndTrayAlert();

  // Countdown members shared with the alert and break windows.
  bool blnPause = false;
  int32_t lngTotalSeconds = 0;
  int32_t lngElapsedSeconds = 0;
  int32_t lngSnoozeSeconds = 0;
  int32_t lngBreakSeconds = 0;
  int32_t lngSoundTicks = 0;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;
  void Form_Resize() override;
  void Form_Unload(int& cancel) override;

 private:
  enum class TimerState { kStopped, kStarted, kPaused };
  void SetTimerControls(TimerState s);
  void ShowInterval();
  void SetEditing(bool editing);
  // Normal state, foreground and shown: after a stop or a break.
  void BringBack();
  // The tray menu offers "Stop Break" instead of the timer items during a break.
  void SetBreakMenu(bool inBreak);
  // Opens the break prompt and carries out its answer.
  void Prompt();
  void Wire(const char* name, void (FrmTimer::*handler)());
  // Switches a 0/1 window option; other values are left alone.
  bool ToggleOption(int16_t& setting, const char* valueName, const char* menu);

  App& app_;
};

// The tray tooltip of the work countdown: maker, time and state, ended by a NUL.
std::string WorkStatusText(const std::string& time, const char* suffix);

inline constexpr const char* kStarted = " - Started";
inline constexpr const char* kPaused = " - Paused";
inline constexpr const char* kStopped = " - Stopped";

}  // namespace unw
