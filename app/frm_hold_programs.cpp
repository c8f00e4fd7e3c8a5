#include "app/frm_hold_programs.h"

#include <algorithm>

#include "alerts/sound_chooser.h"
#include "alerts/sounds.h"
#include "app/app.h"
#include "app/fonts.h"
#include "cycle/break_cycle.h"
#include "forms/ui.h"
#include "settings/product.h"

namespace unw {

namespace {

constexpr int kButtonWidth = 1800;
constexpr int kButtonHeight = 375;

Control& Button(Control& b, const std::string& caption, int left, int top,
                int width = kButtonWidth) {
  b.SetCaption(caption);
  b.Move(left, top, width, kButtonHeight);
  return b;
}

// Letters compared as Windows compares file names, so that the list reads alphabetically.
bool Before(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return fold(x) < fold(y);
  });
}

}  // namespace

std::string RefusalText(const Texts& t, const std::string& name, ProgramNameFault fault) {
  const Fills fills = {{"name", name}};
  switch (fault) {
    case ProgramNameFault::kEmpty:
      return t.T("Type the file name of a program, such as POWERPNT.EXE.");
    case ProgramNameFault::kPath:
      return t.T(
          "\"{name}\" names a folder or a drive. Type only the program's file name, such as "
          "obs64.exe: alerts wait for it wherever it was started from.",
          fills);
    case ProgramNameFault::kWildcard:
      return t.T(
          "\"{name}\" holds a wildcard (* or ?). Type the program's whole file name, such as "
          "POWERPNT.EXE.",
          fills);
    case ProgramNameFault::kIllegal:
      return t.T(
          "\"{name}\" is not a file name: a file name holds none of \" < > | ; nor control "
          "characters, and does not end in a dot.",
          fills);
    case ProgramNameFault::kTooLong:
      return t.T("\"{name}\" is longer than a file name can be (255 characters).", fills);
    case ProgramNameFault::kNone:
      break;
  }
  return "";
}

FrmHoldPrograms::FrmHoldPrograms(App& app) : Form(app.ui, "frmHoldPrograms"), app_(app) {}

void FrmHoldPrograms::Design() {
  const Texts& t = app_.texts;
  SetCaption(t.T("KORVANTE Unwindle - Programs That Hold Alerts"));
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(5400, 3900);

  Control& heading = Add(ControlKind::kLabel, "lblPrograms");
  heading.SetCaption(t.T("Alerts wait while one of these programs runs:"));
  heading.Move(120, 120, 5160, 255);
  Control& list = Add(ControlKind::kListBox, "lstPrograms");
  list.Move(120, 420, 3240, 2040);
  list.SetValue(-1);
  list.onClick = [this] { ShowButtons(); };
  Button(Add(ControlKind::kButton, "cmdBrowse"), t.T("&Browse..."), 3480, 420).onClick = [this] {
    cmdBrowse_Click();
  };
  Button(Add(ControlKind::kButton, "cmdRunning"), t.T("&Running Programs..."), 3480, 900).onClick =
      [this] { cmdRunning_Click(); };
  Button(Add(ControlKind::kButton, "cmdRemove"), t.T("Re&move"), 3480, 1380).onClick = [this] {
    cmdRemove_Click();
  };
  Control& label = Add(ControlKind::kLabel, "lblProgram");
  label.SetCaption(t.T("&Program file name:"));
  label.Move(120, 2580, 3240, 255);
  Control& box = Add(ControlKind::kTextBox, "txtProgram");
  box.Move(120, 2850, 3240, 315);
  box.onChange = [this] { ShowButtons(); };
  // Enter adds what was typed; Esc leaves without saving.
  Button(Add(ControlKind::kButton, "cmdAdd"), t.T("&Add"), 3480, 2820).SetDialogKeys(true, false);
  Ctl("cmdAdd").onClick = [this] { cmdAdd_Click(); };
  Button(Add(ControlKind::kButton, "cmdSave"), t.T("&Save"), 2160, 3390, 1500).onClick = [this] {
    cmdSave_Click();
  };
  Button(Add(ControlKind::kButton, "cmdCancel"), t.T("Cancel"), 3780, 3390, 1500)
      .SetDialogKeys(false, true);
  Ctl("cmdCancel").onClick = [this] { cmdCancel_Click(); };
}

void FrmHoldPrograms::Form_Load() {
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  // As with the preferences: a break that falls due now waits until the dialog closes.
  app_.cycle.HoldFor(HoldReason::kPreferences, true);
  names_ = SplitProgramList(app_.settings.HoldForPrograms);
  ShowList(-1);
}

void FrmHoldPrograms::Form_Unload(int& /*cancel*/) {
  app_.cycle.HoldFor(HoldReason::kPreferences, false);
}

void FrmHoldPrograms::ShowList(int selected) {
  Control& list = Ctl("lstPrograms");
  list.SetItems(names_);
  list.SetValue(selected);
  ShowButtons();
}

void FrmHoldPrograms::ShowButtons() {
  Ctl("cmdAdd").SetEnabled(!TrimSpaces(Ctl("txtProgram").text()).empty());
  Ctl("cmdRemove").SetEnabled(Ctl("lstPrograms").value() >= 0);
}

bool FrmHoldPrograms::AddName(const std::string& typed) {
  std::string name = TrimSpaces(typed);
  const ProgramNameFault fault = CheckProgramName(name);
  if (fault != ProgramNameFault::kNone) {
    app_.ui.MsgBox(this, Warning(RefusalText(app_.texts, name, fault), kMainCaption));
    return false;
  }
  // Programs are looked for by their file's name, which has a suffix.
  if (name.find('.') == std::string::npos) name += app_.sys.presence.ProgramFileSuffix();
  for (size_t i = 0; i < names_.size(); ++i) {
    if (SameProgram(names_[i], name)) {
      ShowList(static_cast<int>(i));
      return true;
    }
  }
  if (names_.size() >= kMaxHeldPrograms) {
    app_.ui.MsgBox(
        this, Warning(app_.texts.TN("The list holds {n} program, as many as it can. Remove it to "
                                    "add another.",
                                    "The list holds {n} programs, as many as it can. Remove one "
                                    "to add another.",
                                    kMaxHeldPrograms, {{"n", std::to_string(kMaxHeldPrograms)}}),
                      kMainCaption));
    return false;
  }
  names_.push_back(name);
  ShowList(static_cast<int>(names_.size()) - 1);
  return true;
}

void FrmHoldPrograms::cmdAdd_Click() {
  Control& box = Ctl("txtProgram");
  // Refused, the text stays to be corrected.
  if (AddName(box.text())) box.SetText("");
  ShowButtons();
}

void FrmHoldPrograms::cmdRemove_Click() {
  const int i = Ctl("lstPrograms").value();
  if (i < 0 || i >= static_cast<int>(names_.size())) return;
  names_.erase(names_.begin() + i);
  // The next name takes its place, so that names can be removed one after the other.
  ShowList(std::min(i, static_cast<int>(names_.size()) - 1));
}

void FrmHoldPrograms::cmdBrowse_Click() {
  const std::string path =
      app_.sys.files.ChooseProgramFile(hWnd(), app_.texts.T("KORVANTE Unwindle - Select Program"));
  if (!loaded() || TrimSpaces(path).empty()) return;
  AddName(GetFileName(path));
}

void FrmHoldPrograms::cmdRunning_Click() {
  const std::string name = app_.frmRunningPrograms().Pick();
  if (!loaded() || name.empty()) return;
  AddName(name);
}

void FrmHoldPrograms::cmdSave_Click() {
  const std::string text = JoinProgramList(names_);
  const bool saved = app_.store.WriteSettingValue(Setting(&Settings::HoldForPrograms).name, text);
  // Not stored, the list still holds alerts until the program ends; the user is told so.
  app_.settings.HoldForPrograms = StoredText(text);
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  Unload();
}

void FrmHoldPrograms::cmdCancel_Click() {
  Unload();
}

FrmRunningPrograms::FrmRunningPrograms(App& app) : Form(app.ui, "frmRunningPrograms"), app_(app) {}

void FrmRunningPrograms::Design() {
  const Texts& t = app_.texts;
  SetCaption(t.T("KORVANTE Unwindle - Running Programs"));
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(3960, 3900);
  Control& heading = Add(ControlKind::kLabel, "lblRunning");
  heading.SetCaption(t.T("&Programs running now:"));
  heading.Move(120, 120, 3720, 255);
  Control& list = Add(ControlKind::kListBox, "lstRunning");
  list.Move(120, 420, 3720, 2820);
  list.SetValue(-1);
  list.onClick = [this] { Ctl("cmdOK").SetEnabled(Ctl("lstRunning").value() >= 0); };
  Button(Add(ControlKind::kButton, "cmdOK"), t.T("&Add"), 780, 3390, 1440)
      .SetDialogKeys(true, false);
  Ctl("cmdOK").onClick = [this] { cmdOK_Click(); };
  Ctl("cmdOK").SetEnabled(false);
  Button(Add(ControlKind::kButton, "cmdCancel"), t.T("Cancel"), 2400, 3390, 1440)
      .SetDialogKeys(false, true);
  Ctl("cmdCancel").onClick = [this] { cmdCancel_Click(); };
}

void FrmRunningPrograms::Form_Load() {
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  std::vector<std::string> names = app_.sys.presence.RunningPrograms();
  std::sort(names.begin(), names.end(), Before);
  Ctl("lstRunning").SetItems(names);
}

std::string FrmRunningPrograms::Pick() {
  picked_.clear();
  Show(true);
  return picked_;
}

void FrmRunningPrograms::cmdOK_Click() {
  const Control& list = Ctl("lstRunning");
  const int i = list.value();
  if (i >= 0 && i < static_cast<int>(list.items().size())) picked_ = list.items()[i];
  Unload();
}

}  // namespace unw
