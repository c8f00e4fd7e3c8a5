#include "app/frm_preferences.h"

#include <tuple>

#include "alerts/sound_chooser.h"
#include "alerts/sounds.h"
#include "app/app.h"
#include "app/fonts.h"
#include "app/frm_timer.h"
#include "settings/product.h"
#include "app/time_entry.h"
#include "settings/number_text.h"
#include "tray/tray_animation.h"

namespace unw {

namespace {

// The element of each tray icon set that the dialog shows as its sample.
constexpr int kSampleElement[5] = {0, 48, 1, 9, 1};

bool IsWorkInterval(const SettingInfo& info) {
  return info.int32 == &Settings::Hours || info.int16 == &Settings::Minutes ||
         info.int16 == &Settings::Seconds;
}

std::string TrayPicture(int set, int element) {
  return "tray:" + std::to_string(set) + ":" + std::to_string(element);
}

}  // namespace

FrmPreferences::FrmPreferences(App& app) : Form(app.ui, "frmPreferences"), app_(app) {}

void FrmPreferences::Design() {
  const Texts& t = app_.texts;
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(5520, 5445);
  strCustomSound.clear();
  blnCloseClicked = false;

  auto frame = [this, &t](const char* name, const char* caption, int l, int top, int w,
                          int h) -> Control& {
    Control& f = Add(ControlKind::kFrame, name);
    f.SetCaption(*caption ? t.T(caption) : "");
    f.Move(l, top, w, h);
    return f;
  };
  auto field = [this](const char* name, Control& parent, int l, int t) {
    Control& box = Add(ControlKind::kTextBox, name, &parent);
    box.Move(l, t, 435, 315);
    // As many digits as the setting's largest value has.
    for (const auto& f : kSettingFields) {
      if (std::string(f.control) == name)
        box.SetMaxLength(static_cast<int>(std::to_string(Setting(f.setting).hi).size()));
    }
    box.onKeyPress = FilterDigitKey;
    box.onGotFocus = [&box] { SelectAll(box); };
    box.onChange = [this] { Changed(); };
  };
  int separators = 0;
  auto colon = [&](Control& parent, int l, int t) {
    Control& c = Add(ControlKind::kLabel, "lblColon", &parent, separators++);
    c.SetCaption(":");
    c.Move(l, t + 30, 120, 255);
  };
  auto check = [this, &t](const char* name, const char* caption, Control& parent, int l, int top,
                          int w) {
    Control& c = Add(ControlKind::kCheckBox, name, &parent);
    c.SetCaption(t.T(caption));
    c.Move(l, top, w, 285);
    c.onClick = [this] { Changed(); };
  };
  auto option = [this, &t](const char* group, int index, const char* caption, Control& parent,
                           int l, int top, int w) -> Control& {
    Control& o = Add(ControlKind::kOption, group, &parent, index);
    o.SetCaption(*caption ? t.T(caption) : "");
    o.Move(l, top, w, 285);
    return o;
  };
  auto button = [this, &t](const char* name, Control& parent, const char* tip, const char* picture,
                           int l, int top, int w, int h) -> Control& {
    Control& b = Add(ControlKind::kButton, name, &parent);
    b.SetToolTip(t.T(tip));
    b.SetPicture(picture);
    b.Move(l, top, w, h);
    return b;
  };

  Control& main = frame("fraMainTimer", NT("&Main Timer (HH:MM:SS)"), 105, 82, 2640, 1300);
  field("txtHours", main, 240, 330);
  colon(main, 705, 330);
  field("txtMinutes", main, 855, 330);
  colon(main, 1320, 330);
  field("txtSeconds", main, 1470, 330);
  check("chkStartTimerOnLaunch", NT("Start Timer &On Launch"), main, 240, 840, 2280);

  Control& brk = frame("fraBreakTimer", NT("&Break Time (MM:SS)"), 2775, 82, 2640, 1300);
  field("txtBreakMinutes", brk, 240, 330);
  colon(brk, 705, 330);
  field("txtBreakSeconds", brk, 855, 330);
  check("chkBalloonTipsEnabled", NT("Balloon Ti&ps"), brk, 240, 840, 2280);

  Control& rem = frame("fraReminderTime", NT("&Reminder Time (MM:SS)"), 105, 1395, 2640, 900);
  field("txtSnoozeMinutes", rem, 240, 360);
  colon(rem, 705, 360);
  field("txtSnoozeSeconds", rem, 855, 360);

  Control& lim = frame("fraNoBreakLimit", NT("Number of R&eminders Limit"), 2775, 1395, 2640, 900);
  option("optSnoozeLimit", 0, NT("No &Limit"), lim, 240, 375, 1200);
  option("optSnoozeLimit", 1, "", lim, 1500, 375, 255);
  field("txtSnoozeLimit", lim, 1800, 360);
  for (int i = 0; i < 2; ++i)
    Ctl("optSnoozeLimit", i).onClick = [this, i] { optSnoozeLimit_Click(i); };

  Control& sec = frame("fraSecurity", NT("&Security When On Break"), 105, 2295, 2640, 1000);
  check("chkLockWorkStation", NT("Lock &Workstation"), sec, 240, 300, 2280);
  check("chkActivateScreenSaver", NT("Start Screen Sa&ver"), sec, 240, 630, 2280);

  Control& alert = frame("fraAlertMeBy", NT("&Alert Me By"), 2775, 2295, 2640, 1000);
  option("optAlertMeBy", 0, NT("&Displaying a Dialog Box"), alert, 240, 300, 2280);
  option("optAlertMeBy", 1, NT("&Flashing the Tray Icon"), alert, 240, 630, 2280);

  Control& audio = frame("fraAudioAlerts", NT("Aud&io Alerts"), 105, 3300, 5310, 1350);
  option("optAudioType", 0, NT("&No Sounds"), audio, 240, 270, 2400);
  option("optAudioType", 1, NT("Windows So&unds"), audio, 2760, 270, 2400);
  option("optAudioType", 2, NT("Selec&ted Sound"), audio, 240, 600, 2400);
  option("optAudioType", 3, NT("&Custom Sound"), audio, 2760, 600, 2400);
  Control& sounds = Add(ControlKind::kComboBox, "cboSelectedSound", &audio);
  sounds.Move(240, 900, 1920, 315);
  std::vector<std::string> names;
  for (const auto& clip : kSoundCatalogue) names.push_back(t.TC("sound", clip.displayName));
  sounds.SetItems(names);
  sounds.SetValue(-1);
  sounds.onClick = [this] { cboSelectedSound_Click(); };
  button("cmdSoundPreview", audio, NT("Play Sound"), "play", 2205, 885, 390, 345).onClick = [this] {
    cmdSoundPreview_Click();
  };
  Control& file = Add(ControlKind::kTextBox, "txtCustomSoundFileName", &audio);
  file.Move(2760, 900, 1620, 315);
  file.SetLocked(true);
  button("cmdCustomSoundPreview", audio, NT("Play Sound"), "play", 4425, 885, 390, 345).onClick =
      [this] { cmdCustomSoundPreview_Click(); };
  Control& browse =
      button("cmdBrowseCustomSound", audio, NT("Select Sound File"), "", 4860, 885, 360, 345);
  browse.SetCaption("...");
  browse.onClick = [this] { cmdBrowseCustomSound_Click(); };
  for (int i = 0; i < 4; ++i) Ctl("optAudioType", i).onClick = [this] { Changed(); };
  for (int i = 0; i < 2; ++i) Ctl("optAlertMeBy", i).onClick = [this] { Changed(); };

  Control& tray = frame("Frame1", NT("Tra&y Icon"), 105, 4650, 2190, 705);
  Control& sets = Add(ControlKind::kComboBox, "cboTrayIcon", &tray);
  sets.Move(150, 270, 1560, 315);
  std::vector<std::string> iconSets;
  for (const char* set : kIconSetNames) iconSets.push_back(t.TC("tray icon", set));
  sets.SetItems(iconSets);
  sets.SetValue(-1);
  sets.onClick = [this] { cboTrayIcon_Click(); };
  Add(ControlKind::kImage, "imgTrayIcon", &tray).Move(1815, 255, 240, 240);

  Control& buttons = frame("fraButtons", "", 2325, 4650, 3090, 705);
  button("cmdAbout", buttons, NT("About Korvante Unwindle"), "about", 165, 180, 600, 420).onClick =
      [this] { cmdAbout_Click(); };
  button("cmdDefaults", buttons, NT("Defaults"), "defaults", 885, 180, 600, 420).onClick = [this] {
    cmdDefaults_Click();
  };
  // Enter saves; Esc closes as the close box does, asking about unsaved changes.
  Control& save = button("cmdSave", buttons, NT("Save"), "save", 1605, 180, 600, 420);
  save.SetDialogKeys(true, false);
  save.onClick = [this] { cmdSave_Click(); };
  Control& close = button("cmdExit", buttons, NT("Close"), "exit", 2325, 180, 600, 420);
  close.SetDialogKeys(false, true);
  close.onClick = [this] { cmdExit_Click(); };
  for (const char* img : {"imgPlay", "imgStop"}) {
    Control& i = Add(ControlKind::kImage, img);
    i.SetPicture(img + 3 == std::string("Play") ? "play" : "stop");
    i.SetVisible(false);
  }
}

void FrmPreferences::SelectOption(const char* group, int index) {
  if (Control* o = Find(group, index)) o->Click();
}

int FrmPreferences::SelectedOption(const char* group) const {
  for (int i = 0; i < 4; ++i) {
    const Control* o = Find(group, i);
    if (o && o->value() == 1) return i;
  }
  return -1;
}

void FrmPreferences::Fill(const SettingField& field, long value, const std::string& text) {
  Control* c = Find(field.control);
  switch (field.kind) {
    case FieldKind::kNumber:
      c->SetText(TwoDigit(value));
      break;
    case FieldKind::kLimit:
      // The option's click puts the last saved limit (or 3) into the field.
      SelectOption("optSnoozeLimit", value == 99 ? 0 : 1);
      if (value != 99) c->SetText(std::to_string(value));
      c->SetEnabled(value != 99);
      break;
    case FieldKind::kCheck:
      c->SetValue(value == 1 ? 1 : 0);
      break;
    case FieldKind::kOption:
      SelectOption(field.control, static_cast<int>(value));
      break;
    case FieldKind::kList:
      c->Select(static_cast<int>(value));
      break;
    case FieldKind::kPath:
      strCustomSound = TrimSpaces(text);
      Ctl("txtCustomSoundFileName").SetText(GetFileName(text));
      break;
  }
}

void FrmPreferences::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  // A break that falls due now waits until the dialog closes: what the user typed stays.
  app_.cycle.HoldFor(HoldReason::kPreferences, true);
  // Option groups last: picking a sound in the list selects "Selected Sound", and the saved
  // kind must win.
  for (bool options : {false, true}) {
    for (const SettingField& f : kSettingFields) {
      if ((f.kind == FieldKind::kOption) != options) continue;
      const SettingInfo& info = Setting(f.setting);
      long value = f.kind == FieldKind::kPath ? 0 : info.Get(s);
      if (IsWorkInterval(info)) {
        // The stored interval, not a one-time change of the main window.
        int16_t stored = 0;
        TextToInt16(app_.store.ReadSettingValue(info.name), stored);
        value = stored;
      }
      Fill(f, value, s.CustomSound);
    }
  }
  ShowWhatTheSystemOffers();
  Ctl("cmdAbout").SetToolTip(app_.texts.T("About Korvante Unwindle"));
  SetCaption(app_.texts.T("KORVANTE Unwindle - Preferences"));
  blnCloseClicked = false;
  Ctl("cmdSave").SetEnabled(false);
}

void FrmPreferences::ShowWhatTheSystemOffers() {
  const Texts& t = app_.texts;
  Workstation& w = app_.sys.workstation;
  // A setting the system cannot carry out keeps its value, shown but not to be changed here.
  for (const auto& [box, there, why] :
       {std::tuple{"chkLockWorkStation", w.CanLock(), kNoLockerText},
        std::tuple{"chkActivateScreenSaver", w.CanStartScreenSaver(), kNoScreenSaverText}}) {
    Control& c = Ctl(box);
    c.SetEnabled(there);
    c.SetToolTip(there ? "" : t.T(why));
  }
  // Where the system has no alert sounds of its own, the beeps are the player's tones, and the
  // option says so.
  Ctl("optAudioType", 1)
      .SetCaption(app_.sys.sound.BeepsAreSystemSounds() ? t.T("Windows So&unds")
                                                        : t.T("Beep So&unds"));
}

void FrmPreferences::optSnoozeLimit_Click(int index) {
  const int16_t limit = app_.settings.NumberOfSnooze;
  Control& box = Ctl("txtSnoozeLimit");
  box.SetText(limit == 99 ? "3" : std::to_string(limit));
  box.SetEnabled(index == 1);
  Changed();
}

void FrmPreferences::cboSelectedSound_Click() {
  Control& list = Ctl("cboSelectedSound");
  const int i = list.value();
  list.SetToolTip(i >= 0 && i < 15 ? app_.texts.TC("sound", kSoundCatalogue[i].displayName) : "");
  SelectOption("optAudioType", 2);
  Changed();
}

void FrmPreferences::cboTrayIcon_Click() {
  Control& list = Ctl("cboTrayIcon");
  const int i = list.value();
  list.SetToolTip(i >= 0 && i < 5 ? app_.texts.TC("tray icon", kIconSetNames[i]) : "");
  ShowTrayIconPreview();
  Changed();
}

void FrmPreferences::ShowTrayIconPreview() {
  const int i = Ctl("cboTrayIcon").value();
  if (i >= 0 && i < 5) Ctl("imgTrayIcon").SetPicture(TrayPicture(i, kSampleElement[i]));
}

void FrmPreferences::cmdDefaults_Click() {
  // The values a first start stores; nothing is saved until Save.
  for (const SettingField& f : kSettingFields) {
    const SettingInfo& info = Setting(f.setting);
    int16_t value = 0;
    TextToInt16(info.defaultText, value);
    Fill(f, value, info.defaultText);
  }
  Changed();
}

void FrmPreferences::cmdSave_Click() {
  // Not saved: the changes stay there to be saved again.
  if (SavePreferences()) Ctl("cmdSave").SetEnabled(false);
}

void FrmPreferences::cmdExit_Click() {
  blnCloseClicked = true;
  Unload();
}

void FrmPreferences::Form_QueryUnload(int& cancel, int unloadMode) {
  // Unloaded by the program (an alert, a break, the end): changes go unasked.
  if (unloadMode != kUnloadFormControlMenu && !blnCloseClicked) return;
  if (!Ctl("cmdSave").enabled()) return;
  if (app_.ui.MsgBox(this, Question(app_.texts.T("Do you want to save your changes?"),
                                    kMainCaption)) == MessageAnswer::kYes &&
      !SavePreferences()) {
    // The user wanted them kept: the dialog stays, to try again or close without saving.
    cancel = 1;
    blnCloseClicked = false;
  }
}

void FrmPreferences::Form_Unload(int& /*cancel*/) {
  app_.cycle.HoldFor(HoldReason::kPreferences, false);
}

void FrmPreferences::cmdAbout_Click() {
  app_.frmTimer().cmdAbout_Click();
}

void FrmPreferences::cmdSoundPreview_Click() {
  const int i = Ctl("cboSelectedSound").value();
  if (i >= 0 && i <= 14) app_.sounds.PlayCatalogueSound(i);
}

void FrmPreferences::cmdCustomSoundPreview_Click() {
  if (TrimSpaces(strCustomSound).empty() || app_.sounds.PlayFile(strCustomSound) != 0) return;
  // The system would play nothing and say nothing: say why instead.
  app_.ui.MsgBox(this, Warning(app_.texts.T("\"{file}\" cannot be played. Choose a wave sound "
                                            "file (.wav).",
                                            {{"file", GetFileName(strCustomSound)}}),
                               kMainCaption));
}

void FrmPreferences::cmdBrowseCustomSound_Click() {
  const std::string dir =
      TrimSpaces(strCustomSound).empty() ? app_.sys.workstation.AppPath() : strCustomSound;
  const std::string path = app_.chooser.SelectSoundFileAt(
      hWnd(), dir, app_.texts.T("KORVANTE Unwindle - Select Sound File"));
  if (TrimSpaces(path).empty()) return;
  strCustomSound = path;
  Ctl("txtCustomSoundFileName").SetText(GetFileName(path));
  SelectOption("optAudioType", 3);
  Changed();
}

}  // namespace unw
