#include "app/frm_break_ideas.h"

#include <algorithm>

#include "alerts/sounds.h"
#include "app/app.h"
#include "app/break_ideas.h"
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

}  // namespace

std::string IdeaRefusalText(const Texts& texts, IdeaFault fault) {
  switch (fault) {
    case IdeaFault::kEmpty:
      return texts.T("Type an idea first, such as \"Look out of the window.\"");
    case IdeaFault::kTooLong:
      return texts.T(
          "An idea can be at most {limit} characters long, so that it can be read in a short "
          "break. Make this one shorter.",
          {{"limit", std::to_string(kMaxIdeaChars)}});
    case IdeaFault::kControl:
      return texts.T(
          "An idea cannot hold tabs or other control characters. Type it again as plain text.");
    case IdeaFault::kNone:
      break;
  }
  return "";
}

std::string IdeaListFullText(const Texts& texts) {
  return texts.T("The list holds {limit} ideas, as many as it can. Remove one to add another.",
                 {{"limit", std::to_string(kMaxIdeas)}});
}

FrmBreakIdeas::FrmBreakIdeas(App& app) : Form(app.ui, "frmBreakIdeas"), app_(app) {}

void FrmBreakIdeas::Design() {
  const Texts& t = app_.texts;
  SetCaption(t.T("KORVANTE Unwindle - Break Ideas"));
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(7800, 5100);

  Control& heading = Add(ControlKind::kLabel, "lblIdeas");
  heading.SetCaption(t.T("&Ideas shown in breaks:"));
  heading.Move(120, 120, 5640, 255);
  Control& list = Add(ControlKind::kListBox, "lstIdeas");
  list.Move(120, 420, 5640, 3180);
  list.SetValue(-1);
  list.onClick = [this] { ShowButtons(); };
  Button(Add(ControlKind::kButton, "cmdRemove"), t.T("&Remove"), 5880, 420).onClick = [this] {
    cmdRemove_Click();
  };
  Button(Add(ControlKind::kButton, "cmdBuiltInIdeas"), t.T("&Built-in Ideas"), 5880, 900).onClick =
      [this] { cmdBuiltInIdeas_Click(); };
  Control& label = Add(ControlKind::kLabel, "lblIdea");
  label.SetCaption(t.T("&New idea:"));
  label.Move(120, 3720, 5640, 255);
  Control& box = Add(ControlKind::kTextBox, "txtIdea");
  box.Move(120, 3990, 5640, 315);
  // Enter adds what was typed; Esc leaves without saving.
  Button(Add(ControlKind::kButton, "cmdAdd"), t.T("&Add"), 5880, 3960).SetDialogKeys(true, false);
  Ctl("cmdAdd").onClick = [this] { cmdAdd_Click(); };
  Button(Add(ControlKind::kButton, "cmdSave"), t.T("&Save"), 3960, 4560).onClick = [this] {
    cmdSave_Click();
  };
  Button(Add(ControlKind::kButton, "cmdCancel"), t.T("Cancel"), 5880, 4560)
      .SetDialogKeys(false, true);
  Ctl("cmdCancel").onClick = [this] { cmdCancel_Click(); };
}

void FrmBreakIdeas::Form_Load() {
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  // As with the preferences: a break that falls due now waits until the dialog closes.
  app_.cycle.HoldFor(HoldReason::kPreferences, true);
  ideas_ = ReadIdeaList(app_.settings.CustomIdeas).value_or(std::vector<std::string>{});
  if (ideas_.empty()) ideas_ = AllBuiltInIdeas(app_.texts);
  ShowList(-1);
}

void FrmBreakIdeas::Form_Unload(int& /*cancel*/) {
  app_.cycle.HoldFor(HoldReason::kPreferences, false);
}

void FrmBreakIdeas::ShowList(int selected) {
  Control& list = Ctl("lstIdeas");
  // A list box shows one line an entry: a line break of an idea shows as a blank there.
  std::vector<std::string> shown = ideas_;
  for (std::string& idea : shown) std::replace(idea.begin(), idea.end(), '\n', ' ');
  list.SetItems(std::move(shown));
  list.SetValue(selected);
  ShowButtons();
}

void FrmBreakIdeas::ShowButtons() {
  Ctl("cmdRemove").SetEnabled(Ctl("lstIdeas").value() >= 0);
}

void FrmBreakIdeas::cmdAdd_Click() {
  Control& box = Ctl("txtIdea");
  // Refused, the text stays to be corrected.
  const std::string idea = TrimSpaces(box.text());
  const IdeaFault fault = CheckIdea(idea);
  if (fault != IdeaFault::kNone) {
    app_.ui.MsgBox(this, Warning(IdeaRefusalText(app_.texts, fault), kMainCaption));
    return;
  }
  const auto same = std::find(ideas_.begin(), ideas_.end(), idea);
  if (same != ideas_.end()) {
    // Already there: chosen, not shown twice.
    ShowList(static_cast<int>(same - ideas_.begin()));
    box.SetText("");
    return;
  }
  if (ideas_.size() >= kMaxIdeas) {
    app_.ui.MsgBox(this, Warning(IdeaListFullText(app_.texts), kMainCaption));
    return;
  }
  ideas_.push_back(idea);
  ShowList(static_cast<int>(ideas_.size()) - 1);
  box.SetText("");
}

void FrmBreakIdeas::cmdRemove_Click() {
  const int i = Ctl("lstIdeas").value();
  if (i < 0 || i >= static_cast<int>(ideas_.size())) return;
  ideas_.erase(ideas_.begin() + i);
  // The next idea takes its place, so that ideas can be removed one after the other.
  ShowList(std::min(i, static_cast<int>(ideas_.size()) - 1));
}

void FrmBreakIdeas::cmdBuiltInIdeas_Click() {
  ideas_ = AllBuiltInIdeas(app_.texts);
  ShowList(-1);
}

void FrmBreakIdeas::cmdSave_Click() {
  // The built-in list, as it stands, is kept as no list of the user's: so it follows the
  // program's own ideas (and their translations) when those change.
  const std::string text = ideas_ == AllBuiltInIdeas(app_.texts) ? "" : WriteIdeaList(ideas_);
  const bool saved = app_.store.WriteSettingValue(Setting(&Settings::CustomIdeas).name, text);
  // Not stored, the list is still shown until the program ends; the user is told so.
  app_.settings.CustomIdeas = StoredText(text);
  if (!saved) app_.ui.MsgBox(this, Warning(app_.texts.T(kNotSavedText), kMainCaption));
  Unload();
}

void FrmBreakIdeas::cmdCancel_Click() {
  Unload();
}

}  // namespace unw
