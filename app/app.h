// The program: its platform services, its windows and every value they share.
// Nothing lives in globals, so a test can build as many programs as it likes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "alerts/sound_chooser.h"
#include "forms/ui.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/tray_record.h"

namespace unw {

class FrmTimer;
class FrmUnwindle;
class FrmBreakTimeRemaining;
class FrmRestartTimer;
class FrmPreferences;
class FrmAbout;
class FrmSplash;

class App {
 public:
  explicit App(const Services& services);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Loads and shows the main window (its start-up runs here).
  void Start();
  // Start, then dispatch events until the last window is gone.
  int Run();

  FrmTimer& frmTimer() { return *frmTimer_; }
  FrmUnwindle& frmUnwindle() { return *frmUnwindle_; }
  FrmBreakTimeRemaining& frmBreakTimeRemaining() { return *frmBreakTimeRemaining_; }
  FrmRestartTimer& frmRestartTimer() { return *frmRestartTimer_; }
  FrmPreferences& frmPreferences() { return *frmPreferences_; }
  FrmAbout& frmAbout() { return *frmAbout_; }
  FrmSplash& frmSplash() { return *frmSplash_; }

  Services sys;
  Ui ui;
  SettingsStore store;
  Settings settings;  // working copies of the stored settings

  // Values shared by the windows.
  int16_t intSnoozeCount = 0;   // reminders since the work timer last stopped
  int32_t lngPromptChoice = 0;  // answer of the last prompt, 0 to 3
  int32_t lngAlertSeconds = 0;  // seconds since the work countdown ran out
  bool blnExitQuestion = false;
  bool blnBalloonShowing = false;
  int16_t intIconFrame = 0;
  int16_t intMoonTicks = 0;  // ticks since the moon icon last moved on
  bool blnFlashOn = false;   // which picture the flashing icon shows
  TrayIconData trayIconData;
  uint32_t lngTrayRecordSize = 0;     // the record size the shell understands
  std::uintptr_t lngPrevWndProc = 0;  // the main window's own procedure while hooked
  bool blnMainWasNormal = false;      // the main window's state when an alert hid it
  SoundPreview soundPreview{*this};   // the sound chooser's preview row

 private:
  std::unique_ptr<FrmTimer> frmTimer_;
  std::unique_ptr<FrmUnwindle> frmUnwindle_;
  std::unique_ptr<FrmBreakTimeRemaining> frmBreakTimeRemaining_;
  std::unique_ptr<FrmRestartTimer> frmRestartTimer_;
  std::unique_ptr<FrmPreferences> frmPreferences_;
  std::unique_ptr<FrmAbout> frmAbout_;
  std::unique_ptr<FrmSplash> frmSplash_;
};

// The stacking order of a window: topmost or normal. Returns the call's result.
long SetTopMost(App& app, std::uintptr_t hwnd, bool topMost);
// Whether a window of that name is loaded now.
bool IsFormLoaded(App& app, const std::string& name);
// Whether the program has a task-list entry.
void SetTaskVisible(App& app, bool visible);

}  // namespace unw
