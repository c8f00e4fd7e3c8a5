// The preferences dialog, its saving, the sound file chooser, the about box
// and the splash.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "alerts/sound_chooser.h"
#include "alerts/sounds.h"
#include "program_fixture.h"
#include "app/frm_about.h"
#include "app/frm_preferences.h"

namespace unw {
namespace {

class PreferencesTest : public ProgramTest {
 protected:
  void Open(std::map<std::string, std::string> settings = {}) {
    Start(settings);
    sim.Click("frmTimer", "mnuPreferences");
    ASSERT_TRUE(sim.FindForm("frmPreferences"));
  }
  FrmPreferences& prefs() { return static_cast<FrmPreferences&>(sim.form("frmPreferences")); }
  Control& P(const char* name, int index = -1) { return prefs().Ctl(name, index); }
  bool Changed() { return P("cmdSave").enabled(); }
  void Save() { sim.Click("frmPreferences", "cmdSave"); }
};

TEST(SettingsTable, EveryWorkingCopyFindsItsOwnSettingAndNoOther) {
  std::set<const void*> seen;
  for (const SettingInfo& info : SettingsTable()) {
    const SettingRef ref = info.int16   ? SettingRef(info.int16)
                           : info.int32 ? SettingRef(info.int32)
                                        : SettingRef(info.text);
    EXPECT_EQ(&Setting(ref), &info) << info.name;
    EXPECT_TRUE(seen.insert(&Setting(ref)).second) << info.name;
  }
  // The dialog's fields name settings of the table, each once.
  std::set<std::string> names;
  for (const SettingField& f : kSettingFields)
    EXPECT_TRUE(names.insert(Setting(f.setting).name).second) << f.control;
}

TEST_F(PreferencesTest, OpensWithTheStoredSettingsAndNothingChanged) {
  Open(Planted(
      "Hours=2 Minutes=5 BreakMinutes=7 NumberOfSnooze=4 AlertMeBy=1 AudioType=3 SelectedSound=12 "
      "TrayIcon=2 CustomSound=C:\\Sounds\\bell.wav LockWorkstationOnBreak=1"));
  EXPECT_EQ(P("txtHours").text(), "02");
  EXPECT_EQ(P("txtMinutes").text(), "05");
  EXPECT_EQ(P("txtBreakMinutes").text(), "07");
  EXPECT_EQ(P("optSnoozeLimit", 1).value(), 1);
  EXPECT_EQ(P("txtSnoozeLimit").text(), "4");
  EXPECT_TRUE(P("txtSnoozeLimit").enabled());
  EXPECT_EQ(P("optAlertMeBy", 1).value(), 1);
  EXPECT_EQ(P("optAlertMeBy", 0).value(), 0);
  EXPECT_EQ(P("optAudioType", 3).value(), 1) << "the saved kind, though the list was filled";
  EXPECT_EQ(P("cboSelectedSound").value(), 12);
  EXPECT_EQ(P("cboSelectedSound").toolTip(), "Telephone");
  EXPECT_EQ(P("cboTrayIcon").value(), 2);
  EXPECT_EQ(P("imgTrayIcon").picture(), "tray:2:1");
  EXPECT_EQ(P("txtCustomSoundFileName").text(), "bell.wav");
  EXPECT_EQ(prefs().strCustomSound, "C:\\Sounds\\bell.wav");
  EXPECT_EQ(P("chkLockWorkStation").value(), 1);
  EXPECT_FALSE(Changed());
  EXPECT_EQ(sim.fake.windows.topMost.back(), std::make_pair(prefs().hWnd(), true));
  // Closing an unchanged dialog asks nothing.
  sim.Click("frmPreferences", "cmdExit");
  EXPECT_TRUE(sim.fake.dialogs.shown.empty());
  EXPECT_FALSE(sim.FindForm("frmPreferences"));
}

TEST_F(PreferencesTest, NoLimitShowsADisabledThreeAndTheOptionRefillsTheField) {
  Open({{"NumberOfSnooze", "99"}});
  EXPECT_EQ(P("optSnoozeLimit", 0).value(), 1);
  EXPECT_EQ(P("txtSnoozeLimit").text(), "3");
  EXPECT_FALSE(P("txtSnoozeLimit").enabled());
  sim.Click("frmPreferences", "optSnoozeLimit", 1);
  sim.Type("frmPreferences", "txtSnoozeLimit", "7");
  sim.Click("frmPreferences", "optSnoozeLimit", 0);
  sim.Click("frmPreferences", "optSnoozeLimit", 1);
  EXPECT_EQ(P("txtSnoozeLimit").text(), "3") << "the last saved limit comes back";
  Save();
  EXPECT_EQ(Stored("NumberOfSnooze"), "3");
  sim.Click("frmPreferences", "optSnoozeLimit", 0);
  Save();
  EXPECT_EQ(Stored("NumberOfSnooze"), "99");
  EXPECT_EQ(P("txtSnoozeLimit").text(), "3");
}

TEST_F(PreferencesTest, TheStoredIntervalIsShownAndSavedOverAOneTimeChange) {
  Start({{"Hours", "1"}});
  sim.Click("frmTimer", "cmdChange");
  sim.Type("frmTimer", "txtHours", "5");
  sim.Click("frmTimer", "cmdSave");
  ASSERT_EQ(sim.app().settings.Hours, 5);
  sim.Click("frmTimer", "mnuPreferences");
  EXPECT_EQ(P("txtHours").text(), "01");
  sim.Click("frmPreferences", "chkLockWorkStation");
  Save();
  EXPECT_EQ(sim.app().settings.Hours, 1);
  EXPECT_EQ(Display(), "01:00:00");
}

TEST_F(PreferencesTest, FieldsAreCutToTheirLimitAndEmptyOrPastedOnesKeepTheirValue) {
  Open({{"BreakMinutes", "12"}, {"SnoozeMinutes", "10"}});
  sim.Type("frmPreferences", "txtSeconds", "75");
  sim.Type("frmPreferences", "txtHours", "05");
  sim.Type("frmPreferences", "txtBreakMinutes", "\b\b");
  sim.Paste("frmPreferences", "txtSnoozeMinutes", "1a");
  sim.Paste("frmPreferences", "txtMinutes", "-3");
  sim.Paste("frmPreferences", "txtSnoozeLimit", "x");
  Save();
  const std::pair<const char*, const char*> after[] = {
      {"Seconds", "59"},       {"Hours", "05"},  {"BreakMinutes", "12"},
      {"SnoozeMinutes", "10"}, {"Minutes", "0"}, {"NumberOfSnooze", "3"}};
  for (const auto& [name, stored] : after) EXPECT_EQ(Stored(name), stored) << name;
  EXPECT_EQ(P("txtSeconds").text(), "59");
  EXPECT_EQ(P("txtBreakMinutes").text(), "12") << "the value in effect again";
  EXPECT_EQ(sim.app().settings.Hours, 5);
  EXPECT_FALSE(Changed());
  // The next start loads every setting as stored.
  for (const SettingInfo& info : SettingsTable()) {
    Settings fresh;
    EXPECT_TRUE(sim.app().store.LoadSetting(info, fresh)) << info.name;
  }
}

TEST_F(PreferencesTest, SavingKeepsARunningOrPausedCountdownAndShowsTheNewIntervalWhenStopped) {
  Open({{"Hours", "0"}, {"Minutes", "10"}, {"StartTimerOnLaunch", "1"}});
  sim.AdvanceSeconds(3);
  sim.Type("frmPreferences", "txtMinutes", "20");
  sim.Do([this] { P("cboTrayIcon").Select(3); });
  Save();
  EXPECT_EQ(Display(), "00:09:57");
  EXPECT_EQ(FakeNotificationArea::SetOf(SentIcon()), 3) << "the new icon set at once";
  EXPECT_NE(SentTip().find("- Started"), std::string::npos);
  sim.Click("frmPreferences", "cmdExit");
  sim.Click("frmTimer", "cmdPause");
  sim.Click("frmTimer", "mnuPreferences");
  sim.Type("frmPreferences", "txtMinutes", "30");
  Save();
  EXPECT_EQ(Display(), "00:09:57");
  sim.Click("frmPreferences", "cmdExit");
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(Display(), "00:30:00");
  sim.Click("frmTimer", "mnuPreferences");
  sim.Type("frmPreferences", "txtMinutes", "45");
  Save();
  EXPECT_EQ(Display(), "00:45:00");
  EXPECT_NE(SentTip().find("00:45:00 - Stopped"), std::string::npos);
}

TEST_F(PreferencesTest, DefaultsThenNoChangesNothingAndYesOnClosingSaves) {
  Open({{"Hours", "3"}, {"AudioType", "0"}, {"TrayIcon", "4"}});
  const int writes = sim.fake.settings.writes();
  sim.Click("frmPreferences", "cmdDefaults");
  EXPECT_EQ(P("txtHours").text(), "01");
  EXPECT_EQ(P("optAudioType", 2).value(), 1);
  EXPECT_EQ(P("cboSelectedSound").value(), 1);
  EXPECT_EQ(P("cboTrayIcon").value(), 0);
  EXPECT_TRUE(Changed());
  sim.Close("frmPreferences");
  ASSERT_EQ(sim.fake.dialogs.open.size(), 1u);
  const auto& asked = *sim.fake.dialogs.open.back();
  EXPECT_EQ(asked.icon, MessageIcon::kQuestion);
  EXPECT_EQ(asked.Buttons(), (std::vector{MessageAnswer::kYes, MessageAnswer::kNo}));
  EXPECT_FALSE(asked.alwaysOnTop) << "only the exit question stands above other programs";
  EXPECT_EQ(Told(MessageAnswer::kNo), "Do you want to save your changes?");
  EXPECT_FALSE(sim.FindForm("frmPreferences"));
  EXPECT_EQ(sim.fake.settings.writes(), writes);
  EXPECT_EQ(Stored("Hours"), "3");
  sim.Click("frmTimer", "mnuPreferences");
  sim.Click("frmPreferences", "chkActivateScreenSaver");
  sim.Click("frmPreferences", "cmdExit");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_EQ(Stored("ActivateScreenSaver"), "1");
  EXPECT_EQ(Stored("CustomSound"), " ");
  EXPECT_EQ(sim.app().settings.CustomSound, " ");
}

// Enter saves, as the Save button does; Esc is the Close button, which asks as the close box does.
TEST_F(PreferencesTest, EnterSavesAndEscClosesAsTheCloseBoxDoes) {
  Open({{"BreakMinutes", "5"}});
  sim.Type("frmPreferences", "txtBreakMinutes", "7");
  sim.PressEnter();
  EXPECT_EQ(Stored("BreakMinutes"), "7");
  EXPECT_FALSE(Changed());
  EXPECT_TRUE(sim.FindForm("frmPreferences")) << "Save leaves the dialog open";
  const Control& close = P("cmdExit");
  EXPECT_TRUE(close.isCancelButton() && !close.isDefaultButton());
  sim.Click("frmPreferences", "chkActivateScreenSaver");
  sim.Click("frmPreferences", "cmdExit");
  EXPECT_EQ(Told(MessageAnswer::kNo), "Do you want to save your changes?");
  EXPECT_FALSE(sim.FindForm("frmPreferences"));
  EXPECT_EQ(Stored("ActivateScreenSaver"), "0");
}

TEST_F(PreferencesTest, ASaveTheStoreRefusesSaysSoAndKeepsTheDialogOpen) {
  Open({{"Hours", "0"}, {"Minutes", "1"}});
  sim.fake.settings.SetReadOnly(true);
  sim.Type("frmPreferences", "txtMinutes", "2");
  sim.Do([this] { P("cboTrayIcon").Select(3); });
  Save();
  ASSERT_EQ(sim.fake.dialogs.open.size(), 1u);
  EXPECT_EQ(sim.fake.dialogs.open.back()->icon, MessageIcon::kWarning);
  EXPECT_EQ(sim.fake.dialogs.open.back()->Buttons(), std::vector{MessageAnswer::kOk});
  EXPECT_EQ(Told(), kNotSavedText);
  EXPECT_TRUE(sim.FindForm("frmPreferences"));
  EXPECT_TRUE(Changed()) << "Save stays enabled";
  // In effect until the program ends, though the store still has the old values.
  EXPECT_EQ(Display(), "00:02:00");
  EXPECT_EQ(sim.app().settings.TrayIcon, 3);
  EXPECT_EQ(Stored("Minutes"), "1");
  // Closing asks, and a Yes that cannot save keeps the dialog; No closes it.
  sim.Click("frmPreferences", "cmdExit");
  sim.Answer(MessageAnswer::kYes);
  sim.Answer(MessageAnswer::kOk);
  EXPECT_TRUE(sim.FindForm("frmPreferences"));
  sim.Click("frmPreferences", "cmdExit");
  sim.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(sim.FindForm("frmPreferences"));
}

// The chooser is a window of the system's over the dialog: its end is not the dialog's.
TEST_F(PreferencesTest, ATimeUpWaitsForTheOpenDialogAndItsChooserAndKeepsWhatWasTyped) {
  Open({{"Hours", "0"}, {"Seconds", "5"}, {"StartTimerOnLaunch", "1"}});
  sim.Type("frmPreferences", "txtBreakMinutes", "3");
  sim.Click("frmPreferences", "cmdBrowseCustomSound");
  sim.AdvanceSeconds(30);
  EXPECT_TRUE(sim.fake.files.open) << "the chooser stays";
  EXPECT_FALSE(Loaded("frmUnwindle"));
  sim.FinishChooser("");
  sim.AdvanceSeconds(2);
  ASSERT_TRUE(Loaded("frmPreferences")) << "the dialog stays with what was typed";
  EXPECT_EQ(P("txtBreakMinutes").text(), "3");
  EXPECT_FALSE(Loaded("frmUnwindle"));
  EXPECT_EQ(Heard() + sim.fake.sound.beeps.size(), 0u) << "no sound yet";
  EXPECT_EQ(State(), CycleState::kHeld);
  Save();
  sim.Close("frmPreferences");
  EXPECT_EQ(Stored("BreakMinutes"), "3");
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle")) << "the alert within two seconds of the close";
  EXPECT_EQ(Heard(), 1u);
}

TEST_F(PreferencesTest, ACustomSoundThatCannotPlaySaysSoAndPickingASoundSelectsItsOption) {
  Open({{"AudioType", "3"}, {"CustomSound", "C:\\Sounds\\notes.txt"}});
  sim.fake.sound.files["C:\\Sounds\\notes.txt"] = {"just text", false};
  sim.Click("frmPreferences", "cmdCustomSoundPreview");
  EXPECT_EQ(Told(), "\"notes.txt\" cannot be played. Choose a wave sound file (.wav).");
  sim.fake.sound.files["C:\\Sounds\\notes.txt"] = {FakeSoundPlayer::Wave(), true};
  sim.Click("frmPreferences", "cmdCustomSoundPreview");
  EXPECT_TRUE(sim.fake.dialogs.open.empty());
  EXPECT_TRUE(sim.fake.sound.played.back().audible);
  sim.Do([this] { P("cboSelectedSound").Select(4); });
  EXPECT_EQ(P("optAudioType", 2).value(), 1);
  EXPECT_EQ(P("optAudioType", 3).value(), 0);
  sim.Click("frmPreferences", "cmdSoundPreview");
  EXPECT_EQ(sim.fake.sound.played.back().name, "EASTERN");
  Save();
  EXPECT_EQ(Stored("SelectedSound"), "4");
  EXPECT_EQ(Stored("AudioType"), "2");
}

TEST_F(PreferencesTest, TheChooserPicksAFileOrChangesNothing) {
  Open();
  sim.Click("frmPreferences", "cmdBrowseCustomSound");
  ASSERT_TRUE(sim.fake.files.open);
  EXPECT_EQ(sim.fake.files.open->initialDir, sim.fake.workstation.appPath);
  sim.FinishChooser("");
  EXPECT_FALSE(Changed());
  EXPECT_EQ(prefs().strCustomSound, "");

  sim.fake.sound.files["C:\\Sounds\\gong.wav"] = {FakeSoundPlayer::Wave(), true};
  sim.fake.files.folders.insert("C:\\Sounds");
  sim.Click("frmPreferences", "cmdBrowseCustomSound");
  sim.SelectInChooser("C:\\Sounds\\gong.wav");
  EXPECT_EQ(sim.fake.sound.played.back().name, "") << "a new selection stops the preview";
  sim.PressPreview(true);
  EXPECT_EQ(sim.fake.sound.played.back().name, "C:\\Sounds\\gong.wav");
  EXPECT_TRUE(sim.fake.sound.played.back().audible);
  sim.SelectInChooser("C:\\Sounds\\bell.wav");
  EXPECT_EQ(sim.fake.sound.played.back().name, "");
  sim.FinishChooser("C:\\Sounds\\bell.wav");
  EXPECT_EQ(sim.fake.sound.played.back().name, "") << "closing stops the preview";
  EXPECT_EQ(prefs().strCustomSound, "C:\\Sounds\\bell.wav");
  EXPECT_EQ(P("txtCustomSoundFileName").text(), "bell.wav");
  EXPECT_EQ(P("optAudioType", 3).value(), 1);
  EXPECT_TRUE(Changed());
  // The next chooser starts at the current sound: in its folder, on its name.
  sim.Click("frmPreferences", "cmdBrowseCustomSound");
  EXPECT_EQ(sim.fake.files.open->initialDir, "C:\\Sounds");
  EXPECT_EQ(sim.fake.files.open->initialFile, "bell.wav");
  sim.FinishChooser("");
  Save();
  EXPECT_EQ(Stored("CustomSound"), "C:\\Sounds\\bell.wav");
}

// The preview of a file whose read never ends waits for it without holding the dialog or the
// timers, and says at the deadline that it cannot be played; a device is never opened at all.
TEST_F(PreferencesTest, APreviewThatCannotPlayInTimeSaysSoAndHoldsNothingUp) {
  const std::string path = "\\\\fileserver\\gone\\gong.wav";
  Open({{"AudioType", "3"}, {"CustomSound", path}, {"StartTimerOnLaunch", "1"}});
  sim.fake.sound.files[path] = {FakeSoundPlayer::Wave(), true, /*answers*/ false};
  sim.Advance(700);  // the next tick of the countdown is due while the preview waits
  const std::string shown = Display();
  // The start-up read ahead the chosen file (it never answers either); the preview reads afresh.
  const size_t readAhead = sim.fake.sound.reads.size();
  sim.Click("frmPreferences", "cmdCustomSoundPreview");
  EXPECT_TRUE(sim.fake.dialogs.open.empty());
  // Meanwhile the dialog takes typing and the countdown goes on.
  sim.Type("frmPreferences", "txtBreakMinutes", "7");
  EXPECT_TRUE(Changed());
  sim.Advance(kSoundFileWaitMs - 1);
  EXPECT_TRUE(sim.fake.dialogs.open.empty());
  EXPECT_NE(Display(), shown) << "the countdown went on";
  sim.Advance(1);
  EXPECT_EQ(Told(), "\"gong.wav\" cannot be played. Choose a wave sound file (.wav).");
  EXPECT_TRUE(sim.fake.sound.played.empty());
  // Pressed again, it waits for the same read, which then comes in time.
  sim.Click("frmPreferences", "cmdCustomSoundPreview");
  sim.fake.sound.Answer(path);
  sim.Advance(0);
  EXPECT_TRUE(sim.fake.dialogs.open.empty());
  ASSERT_EQ(sim.fake.sound.played.size(), 1u);
  EXPECT_TRUE(sim.fake.sound.played.back().audible);
  EXPECT_EQ(sim.fake.sound.reads.size(), readAhead + 1);
  // A device: the message at once, nothing opened.
  sim.Do([this] { prefs().strCustomSound = "C:\\Sounds\\CON.wav"; });
  sim.Click("frmPreferences", "cmdCustomSoundPreview");
  EXPECT_EQ(Told(), "\"CON.wav\" cannot be played. Choose a wave sound file (.wav).");
  EXPECT_EQ(sim.fake.sound.reads.size(), readAhead + 1);
}

// The chooser's preview never waits: a file that comes in time plays, one that does not is
// dropped at the deadline or when the selection moves on, without a beep or a message.
TEST_F(PreferencesTest, TheChoosersPreviewPlaysWhatComesInTimeAndNeverWaits) {
  Open();
  const std::string slow = "C:\\Sounds\\slow.wav", gone = "\\\\fileserver\\gone\\bell.wav";
  sim.fake.sound.files[slow] = {FakeSoundPlayer::Wave(), true, true, /*readMs*/ 200};
  sim.fake.sound.files[gone] = {FakeSoundPlayer::Wave(), true, /*answers*/ false};
  sim.Click("frmPreferences", "cmdBrowseCustomSound");
  sim.SelectInChooser(gone);
  sim.PressPreview(true);
  sim.Advance(kSoundFileWaitMs);
  EXPECT_TRUE(sim.fake.files.open) << "the chooser stays open";
  sim.SelectInChooser(slow);
  sim.PressPreview(true);
  sim.SelectInChooser(gone);  // moved on before it came
  sim.Advance(200);
  sim.SelectInChooser(slow);
  sim.PressPreview(true);
  sim.Advance(200);
  EXPECT_EQ(Heard(), 1u);
  EXPECT_EQ(sim.fake.sound.played.back().name, slow);
  EXPECT_TRUE(sim.fake.sound.beeps.empty());
  EXPECT_TRUE(sim.fake.dialogs.shown.empty());
  sim.FinishChooser("");
}

// Whatever path is stored, the chooser opens: in the sound's folder when that is an existing folder
// within the system's limit (the name shown when the whole path fits), else in the default folder;
// a folder beyond the limit, or a device, is never even asked about.
TEST_F(PreferencesTest, TheChooserOpensForAStoredPathOfAnyLength) {
  const std::string folder = "C:\\Sounds";
  auto name = [](size_t length) { return std::string(length - 4, 'n') + ".wav"; };
  // In a folder that exists: the name when the whole path fits.
  auto inFolder = [&](size_t length) { return folder + "\\" + name(length - folder.size() - 1); };
  // A long folder (that exists) holding "bell.wav".
  auto longFolder = [](size_t length) { return "C:\\" + std::string(length - 12, 'd'); };
  struct Case {
    std::string stored;
    ChooserStart start;
  };
  std::vector<Case> cases = {{"", {"C:\\Program Files\\KORVANTE\\Unwindle", ""}}};
  for (size_t length : {259, 260, 1037, 10000}) {
    const std::string file = inFolder(length);
    cases.push_back({file, {folder, length <= 259 ? file.substr(folder.size() + 1) : ""}});
    const std::string dir = longFolder(length);
    const std::string inDir = dir + "\\bell.wav";
    cases.push_back({inDir, Utf16Length(dir) <= 259
                                ? ChooserStart{dir, length <= 259 ? "bell.wav" : ""}
                                : ChooserStart{}});
    cases.push_back({std::string(length, 'x'), {}});  // no folder at all
  }
  cases.push_back({"\\\\.\\COM1\\bell.wav", {}});
  cases.push_back({"C:\\Sounds\\CON", {folder, ""}});
  cases.push_back({"C:\\bell.wav", {}});  // C:\ not planted
  Open();
  sim.fake.files.folders.insert(folder);
  for (size_t length : {259, 260, 1037, 10000}) sim.fake.files.folders.insert(longFolder(length));
  for (const Case& c : cases) {
    sim.fake.files.foldersAsked.clear();
    sim.Do([&] { prefs().strCustomSound = c.stored; });
    sim.Click("frmPreferences", "cmdBrowseCustomSound");
    ASSERT_TRUE(sim.fake.files.open) << c.stored.size() << " characters: no chooser";
    EXPECT_EQ(sim.fake.files.open->initialDir, c.start.folder) << c.stored.size();
    EXPECT_EQ(sim.fake.files.open->initialFile, c.start.file) << c.stored.size();
    for (const std::string& asked : sim.fake.files.foldersAsked) {
      EXPECT_LE(Utf16Length(asked), kChooserPathLimit);
      EXPECT_FALSE(IsDevicePath(asked)) << asked;
    }
    sim.FinishChooser("");
  }
  EXPECT_TRUE(sim.running());
}

// What the system lacks is not offered: its items and options are disabled, their tips saying
// why, and nothing else is touched.
TEST(SystemOffers, AMissingServiceDisablesItsOwnItemsAndSaysWhy) {
  const std::vector<std::pair<const char*, const char*>> offered = {
      {"frmTimer", "mnuLockWorkStation"},
      {"frmTimer", "mnuHoldForFullScreen"},
      {"frmTimer", "mnuHoldForCalls"},
      {"frmTimer", "mnuHoldForDnd"},
      {"frmTimer", "mnuHoldForPrograms"},
      {"frmPreferences", "chkLockWorkStation"},
      {"frmPreferences", "chkActivateScreenSaver"},
      {"frmAbout", "cmdSysInfo"}};
  const struct {
    std::function<void(FakePlatform&)> lack;
    std::set<std::string> off;
  } cases[] = {
      {[](FakePlatform&) {}, {}},
      {[](FakePlatform& f) { f.workstation.canLock = false; },
       {"mnuLockWorkStation", "chkLockWorkStation"}},
      {[](FakePlatform& f) { f.workstation.canStartScreenSaver = false; },
       {"chkActivateScreenSaver"}},
      {[](FakePlatform& f) { f.presence.blind = {BusySign::kFullScreen}; },
       {"mnuHoldForFullScreen"}},
      {[](FakePlatform& f) { f.presence.blind = {BusySign::kCall}; }, {"mnuHoldForCalls"}},
      {[](FakePlatform& f) { f.presence.blind = {BusySign::kDoNotDisturb}; }, {"mnuHoldForDnd"}},
      {[](FakePlatform& f) { f.presence.blind = {BusySign::kPrograms}; }, {"mnuHoldForPrograms"}},
      {[](FakePlatform& f) { f.shell.offersSystemInformation = false; }, {"cmdSysInfo"}},
  };
  for (const auto& c : cases) {
    Sim sim;
    c.lack(sim.fake);
    Plant(sim, {{{"LockWorkstationOnBreak", "1"}, {"HoldDuringFullScreen", "1"}}});
    sim.Start();
    sim.Click("frmTimer", "mnuPreferences");
    sim.Click("frmPreferences", "cmdAbout");
    for (const auto& [form, name] : offered) {
      const Control& ctl = sim.ctl(form, name);
      const bool off = c.off.count(name) > 0;
      EXPECT_EQ(ctl.enabled(), !off) << name;
      EXPECT_EQ(ctl.toolTip().empty(), !off) << name << ": " << ctl.toolTip();
    }
    // Still shown as stored: the setting is kept for a system that can.
    EXPECT_EQ(sim.ctl("frmPreferences", "chkLockWorkStation").value(), 1);
    EXPECT_TRUE(sim.ctl("frmTimer", "mnuHoldForFullScreen").checked());
  }
}

TEST(SystemOffers, BeepsThatAreNotTheSystemsOwnAreNotCalledSoAndStillSound) {
  std::string captions[2];
  for (bool system : {true, false}) {
    Sim sim;
    sim.fake.sound.systemBeeps = system;
    Plant(sim,
          {Planted("Hours=0 Minutes=0 Seconds=10 StartTimerOnLaunch=1 AlertMeBy=1 AudioType=1")});
    sim.Start();
    sim.Click("frmTimer", "mnuPreferences");
    captions[system] = sim.ctl("frmPreferences", "optAudioType", 1).caption();
    EXPECT_EQ(sim.ctl("frmPreferences", "optAudioType", 1).value(), 1);
    sim.Click("frmPreferences", "cmdExit");
    sim.AdvanceSeconds(11);
    EXPECT_EQ(sim.fake.sound.beeps.size(), 1u) << "the time-up alert beeps";
  }
  EXPECT_NE(captions[0], captions[1]);
}

using AboutTest = ProgramTest;

TEST_F(AboutTest, TheSplashShowsFiveSecondsBeforeTheMainWindow) {
  Plant({});
  sim.fake.shell.major = 2;
  sim.fake.shell.minor = 7;
  sim.Launch();
  ASSERT_TRUE(sim.FindForm("frmSplash"));
  EXPECT_EQ(sim.ctl("frmSplash", "lblProductName").caption(), "Unwindle 2.7");
  EXPECT_FALSE(main().visible());
  sim.fake.shell.browser = false;  // nothing opens it, and nobody is told
  sim.Click("frmSplash", "picLogo");
  EXPECT_TRUE(sim.FindForm("frmSplash")) << "the splash stays";
  EXPECT_EQ(sim.fake.shell.pagesOpened,
            std::vector<std::string>{"https://korvante.example/unwindle"});
  EXPECT_TRUE(sim.fake.dialogs.open.empty());
  sim.Advance(4999);
  EXPECT_FALSE(main().visible());
  sim.Advance(1);
  EXPECT_FALSE(sim.FindForm("frmSplash"));
  EXPECT_TRUE(main().visible());
}

TEST_F(AboutTest, TheAboutBoxOpensFromEverywhereClosesWithItsKeysAndStartsSystemInformation) {
  Start();
  sim.Click("frmTimer", "cmdAbout");
  ASSERT_TRUE(sim.FindForm("frmAbout"));
  EXPECT_EQ(sim.ctl("frmAbout", "lblProductName").caption(), "Unwindle 1.0");
  const Control& ok = sim.ctl("frmAbout", "cmdOK");
  EXPECT_TRUE(ok.isDefaultButton() && ok.isCancelButton()) << "Enter and Esc press Ok";
  EXPECT_TRUE(sim.fake.windows.topMost.back().second);
  sim.Click("frmAbout", "cmdOK");
  EXPECT_FALSE(sim.FindForm("frmAbout"));
  sim.Click("frmTimer", "mPopAbout");
  ASSERT_TRUE(sim.FindForm("frmAbout"));
  // System Information starts, or the box says it is unavailable.
  sim.Click("frmAbout", "cmdSysInfo");
  ASSERT_EQ(sim.fake.dialogs.open.size(), 1u);
  EXPECT_EQ(sim.fake.dialogs.open.back()->title, "System Information");
  EXPECT_EQ(sim.fake.dialogs.open.back()->icon, MessageIcon::kInformation);
  EXPECT_EQ(sim.fake.dialogs.open.back()->Buttons(), std::vector{MessageAnswer::kOk});
  EXPECT_EQ(Told(), "System Information Is Unavailable At This Time");
  EXPECT_TRUE(sim.FindForm("frmAbout"));
  sim.fake.shell.systemInformation = true;
  sim.Click("frmAbout", "cmdSysInfo");
  EXPECT_TRUE(sim.fake.dialogs.open.empty());
  EXPECT_EQ(sim.fake.shell.systemInformationStarts, 1);
}

}  // namespace
}  // namespace unw
