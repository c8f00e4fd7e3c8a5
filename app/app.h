// The program: its platform services, the owners of what its windows share,
// and the windows. Nothing lives in globals, so a test can build as many
// programs as it likes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "alerts/sound_chooser.h"
#include "alerts/sounds.h"
#include "app/break_ideas.h"
#include "app/cycle_windows.h"
#include "app/theme.h"
#include "app/tray_controller.h"
#include "cycle/break_cycle.h"
#include "cycle/history_recorder.h"
#include "forms/ui.h"
#include "history/journal.h"
#include "i18n/language.h"
#include "i18n/texts.h"
#include "forms/form_view.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/tray_icon.h"

namespace unw {

class FrmTimer;
class FrmPreferences;
class FrmHoldPrograms;
class FrmRunningPrograms;
class FrmAbout;
class FrmSplash;
class FrmStatistics;
class FrmWorkingHours;
class FrmShortBreaks;
class FrmBreakScreenOptions;
class FrmBreakIdeas;

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
  // Speaks the language the setting Language and the user's Windows languages choose.
  void UseLanguage();
  // The catalogues the program carries, read when first asked for.
  const std::vector<CarriedLanguage>& languages();

  FrmTimer& frmTimer() { return *frmTimer_; }
  FrmUnwindle& frmUnwindle() { return windows.frmUnwindle(); }
  FrmBreakTimeRemaining& frmBreakTimeRemaining() { return windows.frmBreakTimeRemaining(); }
  FrmRestartTimer& frmRestartTimer() { return windows.frmRestartTimer(); }
  FrmShortBreak& frmShortBreak() { return windows.frmShortBreak(); }
  FrmHeadsUp& frmHeadsUp() { return windows.frmHeadsUp(); }
  FrmPreferences& frmPreferences() { return *frmPreferences_; }
  FrmHoldPrograms& frmHoldPrograms() { return *frmHoldPrograms_; }
  FrmRunningPrograms& frmRunningPrograms() { return *frmRunningPrograms_; }
  FrmAbout& frmAbout() { return *frmAbout_; }
  FrmSplash& frmSplash() { return *frmSplash_; }
  FrmWorkingHours& frmWorkingHours() { return *frmWorkingHours_; }
  FrmShortBreaks& frmShortBreaks() { return *frmShortBreaks_; }
  FrmBreakScreenOptions& frmBreakScreenOptions() { return *frmBreakScreenOptions_; }
  FrmBreakIdeas& frmBreakIdeas() { return *frmBreakIdeas_; }
  FrmStatistics& frmStatistics() { return *frmStatistics_; }

  Services sys;
  Ui ui;
  SettingsStore store;
  Settings settings;  // working copies of the stored settings
  Texts texts;        // what the windows say: English until a catalogue is chosen
  TrayIcon tray;
  AlertSounds sounds;
  SoundChooser chooser;
  Journal journal;  // the history of the day, opened at start-up
  // What chance decides (which idea comes next): seeded from the calendar's clock, so each start
  // differs on a real system and a test on the fake clock repeats itself.
  std::mt19937 random;
  BreakIdeas ideas{settings, texts, random};

 private:
  std::unique_ptr<FrmTimer> frmTimer_;
  std::optional<std::vector<CarriedLanguage>> languages_;

 public:
  CycleWindows windows{*this};  // what the cycle shows and asks, on the windows below
  BreakCycle cycle;
  TrayController trayActions{*this};
  HistoryRecorder recorder{journal, settings};
  ThemeKeeper theme{*this};  // the look of every window

 private:
  std::unique_ptr<FrmPreferences> frmPreferences_;
  std::unique_ptr<FrmHoldPrograms> frmHoldPrograms_;
  std::unique_ptr<FrmRunningPrograms> frmRunningPrograms_;
  std::unique_ptr<FrmAbout> frmAbout_;
  std::unique_ptr<FrmSplash> frmSplash_;
  std::unique_ptr<FrmWorkingHours> frmWorkingHours_;
  std::unique_ptr<FrmShortBreaks> frmShortBreaks_;
  std::unique_ptr<FrmBreakScreenOptions> frmBreakScreenOptions_;
  std::unique_ptr<FrmBreakIdeas> frmBreakIdeas_;
  std::unique_ptr<FrmStatistics> frmStatistics_;
};

// Whether the program has a task-list entry.
void SetTaskVisible(App& app, bool visible);

}  // namespace unw
