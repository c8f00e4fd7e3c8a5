#include "app/frm_restart_timer.h"

#include <algorithm>

#include "app/app.h"
#include "app/fonts.h"
#include "app/prompts.h"
#include "settings/product.h"

namespace unw {

namespace {

constexpr int kButtonWidth = 1380;
constexpr int kButtonHeight = 570;

}  // namespace

FrmRestartTimer::FrmRestartTimer(App& app) : Form(app.ui, "frmRestartTimer"), app_(app) {}

void FrmRestartTimer::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  const Texts& t = app_.texts;

  Control& pic = Add(ControlKind::kPicture, "picQuestion");
  pic.SetPicture("sys.question");
  pic.Move(180, 240, 480, 480);
  Control& label = Add(ControlKind::kLabel, "lblUnwindle");
  label.SetCaption(t.T("Your break is now over."));
  label.Move(840, 240, 2400, 240);
  Control& restart = Add(ControlKind::kButton, "cmdRestartTimer");
  restart.SetCaption(t.T("&Restart Timer"));
  restart.SetToolTip(t.T("Restart Timer"));
  restart.SetPicture("start");
  restart.Move(0, 0, kButtonWidth, kButtonHeight);
  restart.onClick = [this] { cmdRestartTimer_Click(); };
  Control& stop = Add(ControlKind::kButton, "cmdStopTimer");
  stop.SetCaption(t.T("&Stop Timer"));
  stop.SetToolTip(t.T("Stop Timer"));
  stop.SetPicture("stop");
  stop.Move(0, 0, kButtonWidth, kButtonHeight);
  stop.onClick = [this] { cmdStopTimer_Click(); };
}

void FrmRestartTimer::Form_Load() {
  ApplyWindowFonts(app_, *this);
  app_.sys.windows.SetTopMost(hWnd(), true);
  CenterIn(app_.sys.presence.PointerWorkArea());  // where the user works
  answer_ = PromptAnswer::kStopTimer;             // closing without a button means Stop Timer
  Control& label = Ctl("lblUnwindle");
  label.SetCaption(app_.texts.T("Your break is now over.\n\nWhat do you want to do?"));
  AutoSizeLabel(app_, label);
  const int row = label.top() + label.height() + 175;
  // As wide as the message needs, and never narrower than its two buttons with a margin (a short
  // message, as in Chinese, would put them outside the window).
  const int width = std::max(label.width() + label.left() + 820, 2 * kButtonWidth + 240 + 2 * 240);
  const int left = (width - 2 * kButtonWidth - 240) / 2;
  Control& restart = Ctl("cmdRestartTimer");
  restart.Move(left, row, kButtonWidth, kButtonHeight);
  Ctl("cmdStopTimer").Move(left + 1500, row, kButtonWidth, kButtonHeight);
  SetOuterSize(width, restart.height() + restart.top() + 600);
}

PromptAnswer FrmRestartTimer::Ask(bool activate) {
  Show(true, activate);
  return answer_;
}

void FrmRestartTimer::Answer(PromptAnswer answer) {
  answer_ = answer;
  Unload();
}

}  // namespace unw
