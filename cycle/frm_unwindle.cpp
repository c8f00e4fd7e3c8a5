#include "cycle/frm_unwindle.h"

#include "alerts/sounds.h"
#include "app/app.h"
#include "app/fonts.h"
#include "app/product.h"
#include "cycle/break_cycle.h"
#include "cycle/prompts.h"

namespace unw {

namespace {

constexpr int kButtonWidth = 1380;
constexpr int kButtonHeight = 570;

}  // namespace

int SnoozeStep(int16_t limit, int16_t given) {
  if (limit == 99) return 0;
  const int last = limit - 1;
  if (given < last) return 0;
  return given == last ? 1 : 2;
}

FrmUnwindle::FrmUnwindle(App& app) : Form(app.ui, "frmUnwindle"), app_(app) {}

void FrmUnwindle::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  lngBreakSeconds = lngSnoozeSeconds = lngAwaySeconds = lngSoundTicks = 0;

  Control& label = Add(ControlKind::kLabel, "lblUnwindle");
  label.SetCaption("Please unwindle now to rest your eyes and body.");
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
  auto button = [this](const char* name, const char* caption, const char* picture) -> Control& {
    Control& b = Add(ControlKind::kButton, name);
    b.SetCaption(caption);
    b.SetPicture(picture);
    b.Move(0, 0, kButtonWidth, kButtonHeight);
    return b;
  };
  button("cmdRemindLater", "&Remind Later", "remind").onClick = [this] { cmdRemindLater_Click(); };
  Control& restart = button("cmdRestartTimer", "&Restart Timer", "start");
  restart.SetToolTip("Restart Timer");
  restart.SetVisible(false);
  restart.onClick = [this] { cmdRestartTimer_Click(); };
  button("cmdUnwindle", "&Unwindle", "unwindle").onClick = [this] { cmdUnwindle_Click(); };
  Control& stop = button("cmdStopTimer", "&Stop Timer", "stop");
  stop.SetToolTip("Stop Timer");
  stop.onClick = [this] { cmdStopTimer_Click(); };
  AddTimer("tmrRestartTimer", 1000, false).onTimer = [this] { tmrRestartTimer_Timer(); };
  AddTimer("tmrPlaySound", 1000, false).onTimer = [this] { tmrPlaySound_Timer(); };
}

void FrmUnwindle::Form_Load() {
  const Settings& s = app_.settings;
  Ctl("tmrRestartTimer").SetEnabled(false);
  Ctl("tmrPlaySound").SetEnabled(false);
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  CenterIn(app_.sys.presence.PointerWorkArea());  // where the user works
  answer_ = PromptAnswer::kStopTimer;             // closing without a button means Stop Timer
  SetCaption(MakerCaption("KORVANTE Unwindle - "));

  if (s.AlertMeBy == 0 || s.AlertMeBy == 1) {
    // In tray mode the alert that opened this prompt is already counted.
    const int16_t given =
        static_cast<int16_t>(app_.cycle.intSnoozeCount() - (s.AlertMeBy == 1 ? 1 : 0));
    switch (SnoozeStep(s.NumberOfSnooze, given)) {
      case 0:
        Ctl("picInformation").SetVisible(true);
        break;
      case 1:
        Ctl("picExclamation").SetVisible(true);
        break;
      default:
        Ctl("picStop").SetVisible(true);
        Ctl("cmdRemindLater").SetEnabled(false);
    }
  }
  Ctl("cmdRemindLater").SetToolTip("Reminder in " + DurationText(s.SnoozeMinutes, s.SnoozeSeconds));
  Ctl("cmdUnwindle").SetToolTip("Unwindle for " + DurationText(s.BreakMinutes, s.BreakSeconds));
  Ctl("lblUnwindle")
      .SetCaption(
          "Please unwindle now to rest your eyes and body.\r\n"
          "Long sessions on the computer takes a toll on your body over time.\r\n"
          "A short period of rest every while can reduce repetitive-stress injuries.\r\n"
          "\r\n"
          "What do you want to do?");
  Layout();

  lngBreakSeconds = s.BreakMinutes * 60 + s.BreakSeconds;
  lngSnoozeSeconds = s.SnoozeMinutes * 60 + s.SnoozeSeconds;
  lngAwaySeconds = app_.cycle.lngAlertSeconds();
  if (lngAwaySeconds < lngBreakSeconds) {
    Ctl("tmrRestartTimer").SetEnabled(true);
  } else {
    lngAwaySeconds = 0;
    OfferRestart();
  }
  lngSoundTicks = 0;
  Ctl("tmrPlaySound").SetEnabled(true);
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

void FrmUnwindle::OfferRestart() {
  Ctl("cmdRestartTimer").SetVisible(true);
  Ctl("cmdRemindLater").SetVisible(false);
}

void FrmUnwindle::tmrRestartTimer_Timer() {
  if (lngAwaySeconds >= lngBreakSeconds) {
    Ctl("tmrRestartTimer").SetEnabled(false);
    lngAwaySeconds = 0;
    OfferRestart();
  } else {
    ++lngAwaySeconds;
  }
}

void FrmUnwindle::tmrPlaySound_Timer() {
  if (lngSoundTicks >= lngSnoozeSeconds) {
    lngSoundTicks = 0;
    app_.sounds.PlayAlertSound(app_.cycle.intSnoozeCount());
  } else {
    ++lngSoundTicks;
  }
}

PromptAnswer FrmUnwindle::Ask(bool activate) {
  Show(true, activate);
  return answer_;
}

void FrmUnwindle::Answer(PromptAnswer answer) {
  answer_ = answer;
  Unload();
}

void FrmUnwindle::Form_Unload(int& /*cancel*/) {
  Ctl("tmrRestartTimer").SetEnabled(false);
  lngAwaySeconds = 0;
  lngSoundTicks = 0;
}

}  // namespace unw
