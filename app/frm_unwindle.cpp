#include "app/frm_unwindle.h"

#include "app/app.h"
#include "app/fonts.h"
#include "app/prompts.h"
#include "cycle/cycle_view.h"
#include "settings/product.h"

namespace unw {

namespace {

constexpr int kButtonWidth = 1380;
constexpr int kButtonHeight = 570;

}  // namespace

FrmUnwindle::FrmUnwindle(App& app) : Form(app.ui, "frmUnwindle"), app_(app) {}

void FrmUnwindle::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);

  Control& label = Add(ControlKind::kLabel, "lblUnwindle");
  const Texts& t = app_.texts;
  label.SetCaption(t.T("Please unwindle now to rest your eyes and body."));
  label.Move(840, 240, 4000, 240);
  const char* pictures[][2] = {{"picInformation", "sys.information"},
                               {"picExclamation", "sys.exclamation"},
                               {"picStop", "sys.stop"}};
  for (const auto& [name, picture] : pictures) {
    Control& p = Add(ControlKind::kPicture, name);
    p.Move(180, 240, 480, 480);
    p.SetPicture(picture);
    p.SetVisible(false);
  }
  auto button = [this](const char* name, const std::string& caption,
                       const char* picture) -> Control& {
    Control& b = Add(ControlKind::kButton, name);
    b.SetCaption(caption);
    b.SetPicture(picture);
    b.Move(0, 0, kButtonWidth, kButtonHeight);
    return b;
  };
  button("cmdRemindLater", t.T("&Remind Later"), "remind").onClick = [this] {
    cmdRemindLater_Click();
  };
  Control& restart = button("cmdRestartTimer", t.T("&Restart Timer"), "start");
  restart.SetToolTip(t.T("Restart Timer"));
  restart.SetVisible(false);
  restart.onClick = [this] { cmdRestartTimer_Click(); };
  button("cmdUnwindle", t.T("&Unwindle"), "unwindle").onClick = [this] { cmdUnwindle_Click(); };
  Control& stop = button("cmdStopTimer", t.T("&Stop Timer"), "stop");
  stop.SetToolTip(t.T("Stop Timer"));
  stop.onClick = [this] { cmdStopTimer_Click(); };
}

void FrmUnwindle::Form_Load() {
  const Settings& s = app_.settings;
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  CenterIn(app_.sys.presence.PointerWorkArea());  // where the user works
  answer_ = PromptAnswer::kStopTimer;             // closing without a button means Stop Timer
  SetCaption(MakerCaption(app_.texts, NT("KORVANTE Unwindle - {url}")));
  const CycleSnapshot now = app_.cycle.Snapshot();
  switch (now.promptStep) {
    case 0:
      Ctl("picInformation").SetVisible(true);
      break;
    case 1:
      Ctl("picExclamation").SetVisible(true);
      break;
    case 2:
      Ctl("picStop").SetVisible(true);
      Ctl("cmdRemindLater").SetEnabled(false);
      break;
    default:
      break;  // an alert kind the program does not know: no icon
  }
  Ctl("cmdRemindLater").SetToolTip(ReminderInText(app_.texts, s.SnoozeMinutes, s.SnoozeSeconds));
  Ctl("cmdUnwindle").SetToolTip(UnwindleForText(app_.texts, s.BreakMinutes, s.BreakSeconds));
  Ctl("lblUnwindle")
      .SetCaption(
          app_.texts.T("Please unwindle now to rest your eyes and body.\n"
                       "Long sessions on the computer takes a toll on your body over time.\n"
                       "A short period of rest every while can reduce repetitive-stress injuries.\n"
                       "\n"
                       "What do you want to do?"));
  Layout();
  ShowCycle(now);
}

void FrmUnwindle::Layout() {
  Control& label = Ctl("lblUnwindle");
  AutoSizeLabel(app_, label);
  const int row = label.top() + label.height() + 175;
  const int width = label.width() + label.left() + 300;
  Control& unwindle = Ctl("cmdUnwindle");
  const int left = (width - 3 * kButtonWidth - 240) / 2;
  for (const char* name : {"cmdRemindLater", "cmdRestartTimer"})
    Ctl(name).Move(left, row, kButtonWidth, kButtonHeight);
  unwindle.Move(left + 1500, row, kButtonWidth, kButtonHeight);
  Ctl("cmdStopTimer").Move(left + 3000, row, kButtonWidth, kButtonHeight);
  SetOuterSize(width, unwindle.height() + unwindle.top() + 600);
}

void FrmUnwindle::ShowCycle(const CycleSnapshot& s) {
  if (!loaded() || !s.offerRestart) return;
  // Shown enabled even where the limit disabled Remind Later.
  Ctl("cmdRestartTimer").SetVisible(true);
  Ctl("cmdRemindLater").SetVisible(false);
}

PromptAnswer FrmUnwindle::Ask(bool activate) {
  Show(true, activate);
  return answer_;
}

void FrmUnwindle::Answer(PromptAnswer answer) {
  answer_ = answer;
  Unload();
}

}  // namespace unw
