#include "app/frm_timer.h"

#include "app/app.h"
#include "app/fonts.h"
#include "app/frm_about.h"
#include "app/frm_break_screen_options.h"
#include "app/frm_break_ideas.h"
#include "app/frm_hold_programs.h"
#include "app/frm_preferences.h"
#include "app/frm_short_breaks.h"
#include "app/frm_statistics.h"
#include "app/frm_working_hours.h"
#include "app/time_entry.h"
#include "cycle/break_cycle.h"
#include "forms/ui.h"
#include "settings/number_text.h"
#include "settings/program_list.h"
#include "settings/product.h"
#include "tray/tray_icon.h"

namespace unw {

namespace {

// Every fixed text of the main window and its menus, in English: Relabel says them in the
// language in use. (The Start and Stop texts follow the cycle: ShowButtons.)
struct FixedText {
  const char* control;
  const char* caption;  // null: none
  const char* tip;
};
constexpr FixedText kFixedTexts[] = {
    {"cmdAbout", nullptr, NT("About Korvante Unwindle")},
    {"cmdExit", nullptr, NT("Close")},
    {"cmdStart", nullptr, NT("Start Timer")},
    {"cmdPause", nullptr, NT("Pause Timer")},
    {"cmdStop", nullptr, NT("Stop Timer")},
    {"cmdChange", nullptr, NT("One-Time Change")},
    {"cmdUnwindle", nullptr, NT("Unwindle")},
    {"cmdSave", nullptr, NT("Save")},
    {"fraTimeRemaining", NT("Time Remaining Before Break (HH:MM:SS)"), nullptr},
    {"mnuFile", NT("&File"), nullptr},
    {"mnuLockWorkStation", NT("&Lock Workstation"), nullptr},
    {"mnuExit", NT("E&xit"), nullptr},
    {"mnuOptions", NT("&Options"), nullptr},
    {"mnuAlwaysOnTop", NT("&Always On Top"), nullptr},
    {"mnuHideWhenMinimized", NT("&Hide When Minimized"), nullptr},
    {"mnuLaunchMinimized", NT("Launch &Minimized"), nullptr},
    {"mnuLaunchOnStartup", NT("Launch On &Startup"), nullptr},
    {"mnuHoldForFullScreen", NT("Hold Alerts During &Full-Screen Programs"), nullptr},
    {"mnuHoldForCalls", NT("Hold Alerts During &Calls"), nullptr},
    {"mnuHoldForDnd", NT("Hold Alerts During &Do Not Disturb"), nullptr},
    {"mnuHoldForPrograms", NT("Hold Alerts While These P&rograms Run..."), nullptr},
    {"mnuSleepIsBreak", NT("Count Sleep and &Lock as a Break"), nullptr},
    {"mnuIdleIsBreak", NT("Count &Idle Time as a Break"), nullptr},
    {"mnuWorkingHours", NT("&Working Hours..."), nullptr},
    {"mnuShortBreaks", NT("Short &Breaks..."), nullptr},
    {"mnuBreakScreen", NT("Break &Screen..."), nullptr},
    {"mnuBreakIdeas", NT("Break &Ideas..."), nullptr},
    {"mnuPreferences", NT("&Preferences..."), nullptr},
    {"mnuKeepHistory", NT("&Keep a History of My Breaks"), nullptr},
    {"mnuStatistics", NT("S&tatistics..."), nullptr},
    {"mnuTheme", NT("&Theme"), nullptr},
    {"mnuThemeSystem", NT("Use &Windows Setting"), nullptr},
    {"mnuThemeLight", NT("&Light"), nullptr},
    {"mnuThemeDark", NT("&Dark"), nullptr},
    {"mnuHelp", NT("&Help"), nullptr},
    {"mnuAbout", NT("&About Korvante Unwindle..."), nullptr},
    {"mPopupSys", NT("&SysTray"), nullptr},
    {"mnuUnwindle", NT("&Unwindle"), nullptr},
    {"mnuStart", NT("&Start Timer"), nullptr},
    {"mnuPause", NT("&Pause Timer"), nullptr},
    {"mnuStop", NT("Sto&p Timer"), nullptr},
    {"mnuStopBreakPopUp", NT("Stop &Break"), nullptr},
    {"mnuRemindLater", NT("&Remind Later"), nullptr},
    {"mPopRestore", NT("&Open"), nullptr},
    {"mnuPreferencesPopMenu", NT("&Preferences..."), nullptr},
    {"mnuStatisticsPopMenu", NT("S&tatistics..."), nullptr},
    {"mPopAbout", NT("&About..."), nullptr},
    {"mPopExit", NT("&Exit"), nullptr},
    {"mnuLanguage", NT("&Language"), nullptr},
    {"mnuLanguage0", NT("Windows Default"), nullptr},
};
// The Pause For menu, in the File menu ("mnuFile...") and the tray menu ("mnu...").
constexpr FixedText kPauseTexts[] = {
    {"PauseFor", NT("Pause &For"), nullptr},
    {"Pause30", NT("&30 Minutes"), nullptr},
    {"Pause60", NT("&1 Hour"), nullptr},
    {"Pause120", NT("&2 Hours"), nullptr},
    {"PauseTomorrow", NT("Until &Tomorrow"), nullptr},
    {"Resume", NT("Resu&me"), nullptr},
};

}  // namespace

FrmTimer::FrmTimer(App& app) : Form(app.ui, "frmTimer"), app_(app) {}

void FrmTimer::Wire(const char* name, void (FrmTimer::*handler)()) {
  Ctl(name).onClick = [this, handler] { (this->*handler)(); };
}

void FrmTimer::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedSingle, /*min*/ true, /*max*/ false, /*controlBox*/ true,
            /*taskbar*/ true);
  SetSize(4680, 2280);

  auto button = [this](const char* name, Control* parent, const char* picture, int left, int top,
                       int w, int h) -> Control& {
    Control& b = Add(ControlKind::kButton, name, parent);
    b.SetPicture(picture);
    b.Move(left, top, w, h);
    return b;
  };

  Control& fraAbout = Add(ControlKind::kFrame, "fraAboutClose");
  fraAbout.Move(2520, 1380, 2040, 780);
  button("cmdAbout", &fraAbout, "about", 300, 195, 600, 480);
  button("cmdExit", &fraAbout, "exit", 1140, 195, 600, 480);

  Control& fraSps = Add(ControlKind::kFrame, "fraStartPauseStop");
  fraSps.Move(120, 1380, 2280, 780);
  button("cmdStart", &fraSps, "start", 135, 195, 600, 480);
  button("cmdPause", &fraSps, "pause", 840, 195, 600, 480).SetEnabled(false);
  button("cmdStop", &fraSps, "stop", 1545, 195, 600, 480).SetEnabled(false);

  Control& fraTime = Add(ControlKind::kFrame, "fraTimeRemaining");
  fraTime.Move(120, 60, 4440, 1260);
  button("cmdChange", &fraTime, "change", 3180, 390, 540, 540);
  button("cmdUnwindle", &fraTime, "unwindle", 3780, 390, 540, 540);
  button("cmdSave", &fraTime, "save", 3180, 390, 540, 540).SetVisible(false);

  const int cols[] = {180, 1200, 2220};
  const char* boxes[] = {"txtSeconds", "txtMinutes", "txtHours"};
  for (int i = 0; i < 3; ++i) {
    Control& t = Add(ControlKind::kTextBox, boxes[i], &fraTime);
    t.Move(cols[2 - i], 300, 780, 780);
    t.SetFont(TimeDisplayFont());
    t.SetMaxLength(2);
    t.SetVisible(false);
  }
  for (int i = 0; i < 2; ++i) {
    Control& sep = Add(ControlKind::kLabel, "lblSemiColon", &fraTime, i);
    sep.SetCaption(":");
    sep.Move(960 + i * 1020, 300, 240, 780);
    sep.SetFont(TimeDisplayFont());
  }
  const char* labels[] = {"lblHours", "lblMinutes", "lblSeconds"};
  for (int i = 0; i < 3; ++i) {
    Control& l = Add(ControlKind::kLabel, labels[i], &fraTime);
    l.SetCaption("88");
    l.Move(cols[i], 300, 780, 780);
    l.SetFont(TimeDisplayFont());
  }
  for (const char* img : {"imgModem", "imgWaterTank", "imgTrafficLight", "imgMoon", "imgClock"})
    Add(ControlKind::kPicture, img).SetVisible(false);

  Control& file = AddMenu("mnuFile", "", nullptr);
  AddPauseMenu("mnuFile", file);
  AddMenu("mnuSep09", "-", &file);
  AddMenu("mnuLockWorkStation", "", &file).SetShortcut("Ctrl+L");
  AddMenu("mnuSep06", "-", &file);
  AddMenu("mnuExit", "", &file);
  Control& options = AddMenu("mnuOptions", "", nullptr);
  AddMenu("mnuAlwaysOnTop", "", &options);
  AddMenu("mnuHideWhenMinimized", "", &options);
  AddMenu("mnuLaunchMinimized", "", &options);
  AddMenu("mnuLaunchOnStartup", "", &options);
  AddMenu("mnuSep08", "-", &options);
  AddMenu("mnuHoldForFullScreen", "", &options);
  AddMenu("mnuHoldForCalls", "", &options);
  AddMenu("mnuHoldForDnd", "", &options);
  AddMenu("mnuHoldForPrograms", "", &options);
  AddMenu("mnuSleepIsBreak", "", &options);
  AddMenu("mnuIdleIsBreak", "", &options);
  AddMenu("mnuSep07", "-", &options);
  AddMenu("mnuWorkingHours", "", &options);
  AddMenu("mnuShortBreaks", "", &options);
  AddMenu("mnuBreakScreen", "", &options);
  AddMenu("mnuBreakIdeas", "", &options);
  AddMenu("mnuPreferences", "", &options).SetShortcut("Ctrl+P");
  AddMenu("mnuSep10", "-", &options);
  // The newer items take letters that the menu's older ones leave free.
  AddMenu("mnuKeepHistory", "", &options);
  AddMenu("mnuStatistics", "", &options);
  Control& theme = AddMenu("mnuTheme", "", &options);
  for (Control* item :
       {&AddMenu("mnuThemeSystem", "", &theme), &AddMenu("mnuThemeLight", "", &theme),
        &AddMenu("mnuThemeDark", "", &theme)})
    item->SetRadioCheck(true);
  // The languages, each in its own words, after the one that follows Windows.
  AddMenu("mnuSepLanguage", "-", &options);
  Control& language = AddMenu("mnuLanguage", "", &options);
  AddMenu("mnuLanguage0", "", &language);
  for (size_t i = 0; i < app_.languages().size(); ++i) {
    const std::string name = "mnuLanguage" + std::to_string(i + 1);
    AddMenu(name, app_.languages()[i].name, &language);
    Ctl(name).onClick = [this, i] { ChooseLanguage(app_.languages()[i].tag); };
  }
  Ctl("mnuLanguage0").onClick = [this] { ChooseLanguage(""); };
  Control& help = AddMenu("mnuHelp", "", nullptr);
  AddMenu("mnuAbout", "", &help).SetShortcut("Ctrl+A");

  Control& sys = AddMenu("mPopupSys", "", nullptr);
  sys.SetVisible(false);
  AddMenu("mnuSep04", "-", &sys).SetVisible(false);
  AddMenu("mnuUnwindle", "", &sys);
  AddMenu("mnuSep03", "-", &sys);
  AddMenu("mnuStart", "", &sys);
  AddMenu("mnuPause", "", &sys).SetEnabled(false);
  AddPauseMenu("mnu", sys);
  AddMenu("mnuStop", "", &sys).SetEnabled(false);
  AddMenu("mnuStopBreakPopUp", "", &sys).SetVisible(false);
  AddMenu("mnuRemindLater", "", &sys).SetVisible(false);
  AddMenu("mnuSep02", "-", &sys);
  AddMenu("mPopRestore", "", &sys);
  AddMenu("mnuSep01", "-", &sys);
  AddMenu("mnuPreferencesPopMenu", "", &sys);
  AddMenu("mnuStatisticsPopMenu", "", &sys);
  AddMenu("mPopAbout", "", &sys);
  // Last, where a menu's way out is looked for.
  AddMenu("mPopExit", "", &sys);

  Wire("cmdStart", &FrmTimer::cmdStart_Click);
  Wire("cmdChange", &FrmTimer::cmdChange_Click);
  Wire("cmdSave", &FrmTimer::cmdSave_Click);
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) {
    Control& t = Ctl(box);
    t.onKeyPress = FilterDigitKey;
    t.onGotFocus = [&t] { SelectAll(t); };
  }
  Wire("cmdPause", &FrmTimer::cmdPause_Click);
  Wire("cmdStop", &FrmTimer::cmdStop_Click);
  Wire("cmdUnwindle", &FrmTimer::cmdUnwindle_Click);
  Wire("cmdAbout", &FrmTimer::cmdAbout_Click);
  Wire("cmdExit", &FrmTimer::cmdExit_Click);
  Wire("mnuLockWorkStation", &FrmTimer::mnuLockWorkStation_Click);
  Wire("mnuExit", &FrmTimer::mnuExit_Click);
  Wire("mPopExit", &FrmTimer::mPopExit_Click);
  Wire("mnuAlwaysOnTop", &FrmTimer::mnuAlwaysOnTop_Click);
  Wire("mnuHideWhenMinimized", &FrmTimer::mnuHideWhenMinimized_Click);
  Wire("mnuLaunchMinimized", &FrmTimer::mnuLaunchMinimized_Click);
  Wire("mnuLaunchOnStartup", &FrmTimer::mnuLaunchOnStartup_Click);
  Wire("mnuHoldForFullScreen", &FrmTimer::mnuHoldForFullScreen_Click);
  Wire("mnuHoldForCalls", &FrmTimer::mnuHoldForCalls_Click);
  Wire("mnuHoldForDnd", &FrmTimer::mnuHoldForDnd_Click);
  Wire("mnuHoldForPrograms", &FrmTimer::mnuHoldForPrograms_Click);
  Wire("mnuSleepIsBreak", &FrmTimer::mnuSleepIsBreak_Click);
  Wire("mnuIdleIsBreak", &FrmTimer::mnuIdleIsBreak_Click);
  Wire("mnuPreferences", &FrmTimer::mnuPreferences_Click);
  Wire("mnuPreferencesPopMenu", &FrmTimer::mnuPreferencesPopMenu_Click);
  Wire("mnuAbout", &FrmTimer::mnuAbout_Click);
  Wire("mnuStart", &FrmTimer::mnuStart_Click);
  Wire("mnuPause", &FrmTimer::mnuPause_Click);
  Wire("mnuStop", &FrmTimer::mnuStop_Click);
  Wire("mnuUnwindle", &FrmTimer::mnuUnwindle_Click);
  Wire("mnuWorkingHours", &FrmTimer::mnuWorkingHours_Click);
  Wire("mnuShortBreaks", &FrmTimer::mnuShortBreaks_Click);
  Wire("mnuBreakScreen", &FrmTimer::mnuBreakScreen_Click);
  Wire("mnuBreakIdeas", &FrmTimer::mnuBreakIdeas_Click);
  for (const char* prefix : {"mnu", "mnuFile"}) {
    const std::string p = prefix;
    Wire((p + "Pause30").c_str(), &FrmTimer::mnuPause30_Click);
    Wire((p + "Pause60").c_str(), &FrmTimer::mnuPause60_Click);
    Wire((p + "Pause120").c_str(), &FrmTimer::mnuPause120_Click);
    Wire((p + "PauseTomorrow").c_str(), &FrmTimer::mnuPauseTomorrow_Click);
    Wire((p + "Resume").c_str(), &FrmTimer::mnuResume_Click);
  }
  Wire("mPopRestore", &FrmTimer::mPopRestore_Click);
  Wire("mnuStopBreakPopUp", &FrmTimer::mnuStopBreakPopUp_Click);
  Wire("mPopAbout", &FrmTimer::mPopAbout_Click);
  Wire("mnuKeepHistory", &FrmTimer::mnuKeepHistory_Click);
  Wire("mnuStatistics", &FrmTimer::mnuStatistics_Click);
  Wire("mnuStatisticsPopMenu", &FrmTimer::mnuStatisticsPopMenu_Click);
  Wire("mnuThemeSystem", &FrmTimer::mnuThemeSystem_Click);
  Wire("mnuThemeLight", &FrmTimer::mnuThemeLight_Click);
  Wire("mnuThemeDark", &FrmTimer::mnuThemeDark_Click);
  editing_ = false;
  exitQuestion_ = false;
  transitioned_ = false;
  startedUp_ = false;
  Relabel();
}

void FrmTimer::AddPauseMenu(const std::string& prefix, Control& parent) {
  Control& pauseFor = AddMenu(prefix + "PauseFor", "", &parent);
  pauseFor.SetEnabled(false);
  AddMenu(prefix + "Pause30", "", &pauseFor);
  AddMenu(prefix + "Pause60", "", &pauseFor);
  AddMenu(prefix + "Pause120", "", &pauseFor);
  AddMenu(prefix + "PauseTomorrow", "", &pauseFor);
  // Not "&Resume": the tray menu's "&Remind Later" has that letter.
  AddMenu(prefix + "Resume", "", &parent).SetVisible(false);
}

void FrmTimer::Relabel() {
  const Texts& t = app_.texts;
  auto label = [&](const std::string& name, const FixedText& f) {
    if (f.caption) Ctl(name).SetCaption(t.T(f.caption));
    if (f.tip) Ctl(name).SetToolTip(t.T(f.tip));
  };
  for (const FixedText& f : kFixedTexts) label(f.control, f);
  for (const char* prefix : {"mnu", "mnuFile"})
    for (const FixedText& f : kPauseTexts) label(std::string(prefix) + f.control, f);
  // Once started, the Help menu's item has no access key (the About box has its own).
  if (startedUp_) Ctl("mnuAbout").SetCaption(t.T("About Korvante Unwindle..."));
  // The one in use is checked: "Windows Default" while the setting is empty.
  const std::string& chosen = app_.settings.Language;
  Ctl("mnuLanguage0").SetChecked(chosen.empty() || chosen == " ");
  for (size_t i = 0; i < app_.languages().size(); ++i)
    Ctl("mnuLanguage" + std::to_string(i + 1)).SetChecked(SameTag(app_.languages()[i].tag, chosen));
  ShowWhatTheSystemOffers();
  if (loaded()) ShowCycle(app_.cycle.Snapshot());
}

void FrmTimer::ShowWhatTheSystemOffers() {
  Presence& p = app_.sys.presence;
  const struct {
    const char* item;
    bool there;
    const char* why;
  } offers[] = {
      {"mnuLockWorkStation", app_.sys.workstation.CanLock(), kNoLockerText},
      {"mnuHoldForFullScreen", p.CanTell(BusySign::kFullScreen),
       NT("This desktop does not say which window is in front, so full-screen programs cannot "
          "be seen.")},
      {"mnuHoldForCalls", p.CanTell(BusySign::kCall),
       NT("This system does not say when the camera or the microphone is in use.")},
      {"mnuHoldForDnd", p.CanTell(BusySign::kDoNotDisturb),
       NT("This desktop does not say when Do Not Disturb is on.")},
      {"mnuHoldForPrograms", p.CanTell(BusySign::kPrograms),
       NT("This system does not tell which programs run.")},
  };
  for (const auto& o : offers) {
    Control& item = Ctl(o.item);
    item.SetEnabled(o.there);
    item.SetToolTip(o.there ? "" : app_.texts.T(o.why));
  }
}

void FrmTimer::ChooseLanguage(const std::string& tag) {
  if (!app_.store.WriteSettingValue(Setting(&Settings::Language).name, tag))
    app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  app_.settings.Language = tag.empty() ? " " : tag;
  app_.UseLanguage();
  Relabel();
  app_.cycle.RetellTip();
}

void FrmTimer::Form_Load() {
  Settings& s = app_.settings;
  SetTaskVisible(app_, false);
  // The splash already takes the user's look; the settings are loaded (and repaired) after it.
  app_.store.ReadInto(Setting(&Settings::Theme), s);
  app_.theme.Begin();
  app_.frmSplash().Show(true);
  app_.store.LoadSettings(s);
  app_.theme.Refresh();
  ShowTheme();
  app_.UseLanguage();
  startedUp_ = true;
  Relabel();
  // The chosen sound file is read ahead, away from this thread: the first alert plays it at once.
  app_.sounds.PrepareCustomSound();
  ApplyWindowFonts(app_, *this);
  SetCaption(kMainCaption);
  // Before the cycle begins: its start is the first thing recorded. Not kept, it is only read.
  app_.journal.Open(s.KeepHistory == 1);
  Ctl("mnuKeepHistory").SetChecked(s.KeepHistory != 0);
  app_.cycle.Begin();

  TrayIcon& tray = app_.tray;
  tray.SetFrame(0);
  tray.AddTrayIcon(hWnd(), tray.GetTrayIconPicture(kPictureCurrent),
                   WorkStatusText(app_.texts, TimeRemaining(), WorkTip::kStopped),
                   app_.trayActions);
  app_.cycle.awareness().Begin();
  Ctl("mnuHoldForFullScreen").SetChecked(s.HoldDuringFullScreen != 0);
  Ctl("mnuHoldForCalls").SetChecked(s.HoldDuringCalls != 0);
  Ctl("mnuHoldForDnd").SetChecked(s.HoldDuringDoNotDisturb != 0);
  ShowHeldPrograms();
  Ctl("mnuSleepIsBreak").SetChecked(s.SleepCountsAsBreak != 0);
  Ctl("mnuIdleIsBreak").SetChecked(s.IdleCountsAsBreak != 0);

  Ctl("mnuHideWhenMinimized").SetChecked(s.HideWhenMinimized != 0);
  SetLaunchOnStartup(s.LaunchOnStartup != 0);
  Ctl("mnuLaunchOnStartup").SetChecked(s.LaunchOnStartup != 0);
  if (s.LaunchMinimized == 0) SetWindowState(WindowState::kNormal);
  if (s.LaunchMinimized == 1) SetWindowState(WindowState::kMinimized);
  Ctl("mnuLaunchMinimized").SetChecked(s.LaunchMinimized != 0);
  app_.cycle.Launch(s.StartTimerOnLaunch == 1);
  app_.sys.windows.SetTopMost(hWnd(), s.AlwaysOnTop != 0);
  Ctl("mnuAlwaysOnTop").SetChecked(s.AlwaysOnTop != 0);
  app_.cycle.SetFlashInterval(app_.sys.workstation.GetCaretBlinkTime());
  exitQuestion_ = false;
}

void FrmTimer::ShowTime(const Countdown& w) {
  Ctl("lblHours").SetCaption(w.Hours());
  Ctl("lblMinutes").SetCaption(w.Minutes());
  Ctl("lblSeconds").SetCaption(w.Seconds());
}

std::string FrmTimer::TimeRemaining() const {
  return app_.cycle.work().Hms();
}

void FrmTimer::ShowButtons(Column c) {
  const bool stopped = c == Column::kStopped;
  const bool started = c == Column::kStarted;
  const bool paused = c == Column::kPaused;
  const Texts& t = app_.texts;
  const std::string startText = paused ? t.T("Restart Timer") : t.T("Start Timer");
  const std::string stopText = paused ? t.T("Reset Timer") : t.T("Stop Timer");
  Ctl("cmdStart").SetEnabled(!started && !editing_);
  Ctl("cmdStart").SetToolTip(startText);
  Ctl("mnuStart").SetEnabled(!started);
  Ctl("mnuStart").SetCaption(startText);
  Ctl("cmdPause").SetEnabled(started);
  Ctl("mnuPause").SetEnabled(started);
  Ctl("cmdStop").SetEnabled(!stopped);
  Ctl("cmdStop").SetToolTip(stopText);
  Ctl("mnuStop").SetEnabled(!stopped);
  Ctl("mnuStop").SetCaption(stopText);
  Ctl("cmdChange").SetEnabled(stopped);
}

void FrmTimer::ShowMenuItems(CycleState state) {
  const bool onBreak = state == CycleState::kOnBreak;
  // While editing the interval the timer items go; during a break "Open" too, and the
  // break can be stopped from the menu instead.
  for (const char* item :
       {"mnuStart", "mnuPause", "mnuPauseFor", "mnuStop", "mnuUnwindle", "mnuSep02"})
    Ctl(item).SetVisible(!editing_ && !onBreak);
  // A pause by the clock is taken from a countdown that runs, stands or alerts, and ended early.
  const bool pausable = state == CycleState::kCounting || state == CycleState::kPaused ||
                        state == CycleState::kPausedUntil || IsAlert(state);
  const bool timedPause = state == CycleState::kPausedUntil;
  for (const char* prefix : {"mnu", "mnuFile"}) {
    const std::string p = prefix;
    Ctl(p + "PauseFor").SetEnabled(pausable);
    Ctl(p + "Resume").SetVisible(timedPause && (p == "mnuFile" || (!editing_ && !onBreak)));
  }
  Ctl("mPopRestore").SetVisible(!onBreak);
  Ctl("mnuStopBreakPopUp").SetVisible(onBreak);
  // A strict break on the break screen is not stopped from here.
  const CycleSnapshot now = app_.cycle.Snapshot();
  Ctl("mnuStopBreakPopUp").SetEnabled(!(onBreak && now.onScreen && now.strict));
  // Nor is a strict short break ended by the timer's own items.
  if (now.onScreen && now.strict)
    for (const char* item : {"cmdStart", "mnuStart", "cmdPause", "mnuPause", "cmdStop", "mnuStop",
                             "mnuPauseFor", "mnuFilePauseFor", "mnuUnwindle", "cmdUnwindle"})
      Ctl(item).SetEnabled(false);
  Ctl("cmdUnwindle").SetEnabled(!editing_);
  Ctl("cmdSave").SetVisible(editing_);
  Ctl("cmdChange").SetVisible(!editing_);
}

void FrmTimer::ShowEditing() {
  // Editing is reached only from the stopped state, whose Start is otherwise enabled.
  Ctl("cmdStart").SetEnabled(!editing_);
  ShowMenuItems(app_.cycle.state());
}

void FrmTimer::ShowCycle(const CycleSnapshot& s) {
  if (!loaded()) return;
  ShowTime(s.work);
  transitioned_ |= s.state != CycleState::kStopped;
  if (transitioned_) {
    switch (s.state) {
      case CycleState::kStopped:
        ShowButtons(Column::kStopped);
        break;
      case CycleState::kPaused:
      case CycleState::kPausedUntil:
        ShowButtons(Column::kPaused);
        break;
      case CycleState::kOnBreak:
      case CycleState::kBreakOver:
        break;  // out of reach until the break is over: they stay as they were
      default:
        // Counting, and the time-up alert that ends a count.
        ShowButtons(Column::kStarted);
        break;
    }
  }
  ShowMenuItems(s.state);
}

void FrmTimer::cmdStart_Click() {
  app_.cycle.Start();
}
void FrmTimer::cmdPause_Click() {
  app_.cycle.Pause();
}
void FrmTimer::cmdStop_Click() {
  app_.cycle.Stop();
}
void FrmTimer::cmdUnwindle_Click() {
  app_.cycle.BreakNow(BreakSource::kMainWindow);
}
void FrmTimer::mnuUnwindle_Click() {
  app_.cycle.BreakNow(BreakSource::kTrayMenu);
}
void FrmTimer::mnuPause30_Click() {
  app_.cycle.PauseFor(kPause30Minutes);
}
void FrmTimer::mnuPause60_Click() {
  app_.cycle.PauseFor(kPause1Hour);
}
void FrmTimer::mnuPause120_Click() {
  app_.cycle.PauseFor(kPause2Hours);
}
void FrmTimer::mnuPauseTomorrow_Click() {
  app_.cycle.PauseFor(kPauseUntilTomorrow);
}
void FrmTimer::mnuResume_Click() {
  app_.cycle.Resume();
}
void FrmTimer::mnuWorkingHours_Click() {
  app_.frmWorkingHours().Show(true);
}

void FrmTimer::mnuShortBreaks_Click() {
  app_.frmShortBreaks().Show(true);
}

void FrmTimer::mnuBreakScreen_Click() {
  app_.frmBreakScreenOptions().Show(true);
}

void FrmTimer::mnuBreakIdeas_Click() {
  app_.frmBreakIdeas().Show(true);
}
void FrmTimer::mnuStopBreakPopUp_Click() {
  app_.cycle.StopBreak();
}

void FrmTimer::cmdChange_Click() {
  editing_ = true;
  ShowEditing();
  const Settings& s = app_.settings;
  Ctl("txtHours").SetText(TwoDigit(s.Hours));
  Ctl("txtMinutes").SetText(TwoDigit(s.Minutes));
  Ctl("txtSeconds").SetText(TwoDigit(s.Seconds));
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) Ctl(box).SetVisible(true);
  Ctl("txtHours").SetFocus();
}

void FrmTimer::cmdSave_Click() {
  editing_ = false;
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) Ctl(box).SetVisible(false);
  // Used by the next start only: never stored.
  for (const SettingInfo* info :
       {&Setting(&Settings::Hours), &Setting(&Settings::Minutes), &Setting(&Settings::Seconds)}) {
    if (auto v = FieldNumber(Ctl(std::string("txt") + info->name), *info))
      info->Set(app_.settings, *v);
  }
  ShowEditing();
  app_.cycle.IntervalChanged();
}

// Minimized into the tray only where the desktop shows the tray: elsewhere the window stays in
// the task bar, where the user can find it again.
bool FrmTimer::HidesWhenMinimized() const {
  return app_.settings.HideWhenMinimized == 1 && app_.sys.tray.IconsShown();
}

void FrmTimer::Form_QueryUnload(int& cancel, int unloadMode) {
  if (unloadMode == kUnloadFormControlMenu) {
    // The close box only sends the program to the tray.
    SetWindowState(WindowState::kMinimized);
    if (HidesWhenMinimized()) Hide();
    cancel = 1;
  } else if (unloadMode == kUnloadFormCode) {
    // The countdown and any alert that falls due wait for the answer.
    exitQuestion_ = true;
    app_.cycle.HoldFor(HoldReason::kExitQuestion, true);
    Message question = Question(app_.texts.T("Are you sure you want to exit?"), kMainCaption);
    question.alwaysOnTop = true;
    if (app_.ui.MsgBox(this, question) != MessageAnswer::kYes) {
      exitQuestion_ = false;
      cancel = 1;
      app_.cycle.HoldFor(HoldReason::kExitQuestion, false);
    }
  }
}

void FrmTimer::Form_Resize() {
  const bool hide = HidesWhenMinimized();
  switch (windowState()) {
    case WindowState::kNormal:
      SetTaskVisible(app_, true);
      break;
    case WindowState::kMinimized:
      if (!hide) SetTaskVisible(app_, true);
      if (hide) {
        Hide();
        SetTaskVisible(app_, false);
      }
      break;
    case WindowState::kMaximized:
      break;
  }
}

void FrmTimer::Form_Unload(int& /*cancel*/) {
  app_.cycle.End();
  app_.tray.RemoveTrayIcon();
  // Every other window goes with the main one.
  for (;;) {
    Form* other = nullptr;
    for (Form* f : app_.ui.forms()) {
      if (f != this) other = f;
    }
    if (!other || !other->Unload()) break;
  }
}

void FrmTimer::cmdExit_Click() {
  Unload();
}
void FrmTimer::mnuExit_Click() {
  Unload();
}
void FrmTimer::mPopExit_Click() {
  Unload();
}

void FrmTimer::mnuLockWorkStation_Click() {
  app_.sys.workstation.LockWorkStation();
}

bool FrmTimer::SetLaunchOnStartup(bool on) {
  return on ? app_.sys.startupLaunch.TurnOn() : app_.sys.startupLaunch.TurnOff();
}

bool FrmTimer::ToggleOption(int16_t Settings::*option, const char* menu) {
  int16_t& setting = app_.settings.*option;
  if (setting != 0 && setting != 1) return false;
  const bool on = setting == 0;
  bool saved = true;
  if (&setting == &app_.settings.AlwaysOnTop) app_.sys.windows.SetTopMost(hWnd(), on);
  if (&setting == &app_.settings.LaunchOnStartup) saved = SetLaunchOnStartup(on);
  saved &= app_.store.WriteSettingValue(Setting(option).name, on ? "1" : "0");
  setting = on ? 1 : 0;
  Ctl(menu).SetChecked(on);
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  return saved;
}

void FrmTimer::mnuAlwaysOnTop_Click() {
  ToggleOption(&Settings::AlwaysOnTop, "mnuAlwaysOnTop");
}
void FrmTimer::mnuHideWhenMinimized_Click() {
  ToggleOption(&Settings::HideWhenMinimized, "mnuHideWhenMinimized");
}
void FrmTimer::mnuLaunchMinimized_Click() {
  ToggleOption(&Settings::LaunchMinimized, "mnuLaunchMinimized");
}
void FrmTimer::mnuLaunchOnStartup_Click() {
  ToggleOption(&Settings::LaunchOnStartup, "mnuLaunchOnStartup");
}
void FrmTimer::mnuHoldForFullScreen_Click() {
  ToggleOption(&Settings::HoldDuringFullScreen, "mnuHoldForFullScreen");
}
void FrmTimer::mnuHoldForCalls_Click() {
  ToggleOption(&Settings::HoldDuringCalls, "mnuHoldForCalls");
}
void FrmTimer::mnuHoldForDnd_Click() {
  ToggleOption(&Settings::HoldDuringDoNotDisturb, "mnuHoldForDnd");
}
void FrmTimer::mnuHoldForPrograms_Click() {
  app_.frmHoldPrograms().Show(true);
  ShowHeldPrograms();
}
void FrmTimer::ShowHeldPrograms() {
  // Checked while the list names a program, as the other holds are while they are on.
  Ctl("mnuHoldForPrograms").SetChecked(!SplitProgramList(app_.settings.HoldForPrograms).empty());
}
void FrmTimer::mnuSleepIsBreak_Click() {
  ToggleOption(&Settings::SleepCountsAsBreak, "mnuSleepIsBreak");
}
void FrmTimer::mnuIdleIsBreak_Click() {
  ToggleOption(&Settings::IdleCountsAsBreak, "mnuIdleIsBreak");
  app_.cycle.Sync();  // idle time is looked at from now on, or no longer
}

void FrmTimer::mnuKeepHistory_Click() {
  // Off, nothing more is written; the file and what it holds stay.
  ToggleOption(&Settings::KeepHistory, "mnuKeepHistory");
}
void FrmTimer::ChooseTheme(int16_t choice) {
  Settings& s = app_.settings;
  const bool saved =
      app_.store.WriteSettingValue(Setting(&Settings::Theme).name, std::to_string(choice));
  s.Theme = choice;  // in effect until the program ends, saved or not
  ShowTheme();
  app_.theme.Refresh();
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
}
void FrmTimer::ShowTheme() {
  const int16_t choice = app_.settings.Theme;
  Ctl("mnuThemeSystem").SetChecked(choice == 0);
  Ctl("mnuThemeLight").SetChecked(choice == 1);
  Ctl("mnuThemeDark").SetChecked(choice == 2);
}
void FrmTimer::mnuThemeSystem_Click() {
  ChooseTheme(0);
}
void FrmTimer::mnuThemeLight_Click() {
  ChooseTheme(1);
}
void FrmTimer::mnuThemeDark_Click() {
  ChooseTheme(2);
}

void FrmTimer::mnuStatistics_Click() {
  app_.frmStatistics().Open();
}

void FrmTimer::cmdAbout_Click() {
  app_.frmAbout().Show(true);
}
void FrmTimer::mnuAbout_Click() {
  cmdAbout_Click();
}
void FrmTimer::mPopAbout_Click() {
  cmdAbout_Click();
}
void FrmTimer::mnuPreferences_Click() {
  app_.frmPreferences().Show(true);
}
void FrmTimer::mnuPreferencesPopMenu_Click() {
  mnuPreferences_Click();
}

void FrmTimer::mPopRestore_Click() {
  Hide();
  SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(hWnd());
  Show();
}

}  // namespace unw
