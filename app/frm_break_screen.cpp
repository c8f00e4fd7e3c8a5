#include "app/frm_break_screen.h"

#include <algorithm>

#include "app/app.h"
#include "app/fonts.h"
#include "app/frm_timer.h"
#include "cycle/countdown.h"
#include "settings/product.h"

namespace unw {

namespace {

// How long keys and clicks do nothing once the screen is up.
constexpr uint32_t kInputGateMs = 3000;

// The block of controls, centred on each monitor.
constexpr int kBlockWidth = 9000;
constexpr int kBlockHeight = 4800;
constexpr int kButtonWidth = 2700;
constexpr int kButtonHeight = 495;

// A label shows "&" as the mark of an access key: the user's "Tea & a walk" keeps its "&".
std::string Literal(const std::string& text) {
  std::string shown;
  for (char c : text) shown += c == '&' ? std::string("&&") : std::string(1, c);
  return shown;
}

// The design font at `points`, in the system's face once ApplyWindowFonts has run.
Font Sized(float points, bool bold) {
  Font f;
  f.size = points;
  f.bold = bold;
  f.weight = bold ? 700 : 400;
  return f;
}

}  // namespace

Form::Colors BreakScreenColors(Look look) {
  // A quiet blue-grey: the light one soft enough to rest the eyes, the dark one not black.
  if (look == Look::kHighContrast) return {.alpha = 255, .system = true};
  if (look == Look::kDark) return {.back = 0x1F2A30, .text = 0xD8E3E8, .alpha = 230};
  return {.back = 0xD9E6EC, .text = 0x1E3440, .alpha = 230};
}

FrmBreakScreen::FrmBreakScreen(App& app, BreakScreen& screen)
    : Form(app.ui, "frmBreakScreen"), app_(app), screen_(screen) {}

void FrmBreakScreen::Design() {
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kNone, false, false, false, false);
  SetSize(kBlockWidth, kBlockHeight);
  Control& time = Add(ControlKind::kLabel, "lblBreakTime");
  time.SetCaption("0:00");
  time.SetFont(Sized(72, true));
  time.Move(0, 0, kBlockWidth, 1800);
  Control& idea = Add(ControlKind::kLabel, "lblIdea");
  idea.SetFont(Sized(16, false));
  idea.Move(0, 2100, kBlockWidth, 1200);
  const int left = (kBlockWidth - 2 * kButtonWidth - 360) / 2;
  // Buttons readable from a step back, in the system's face.
  const Font buttons = Sized(11, false);
  Control& postpone = Add(ControlKind::kButton, "cmdPostpone");
  postpone.SetFont(buttons);
  postpone.SetCaption(app_.texts.T("&Postpone 5 Minutes"));
  postpone.Move(left, 3900, kButtonWidth, kButtonHeight);
  postpone.onClick = [this] { cmdPostpone_Click(); };
  Control& skip = Add(ControlKind::kButton, "cmdSkip");
  skip.SetFont(buttons);
  skip.SetCaption(app_.texts.T("&Skip This Break"));
  skip.Move(left + kButtonWidth + 360, 3900, kButtonWidth, kButtonHeight);
  skip.onClick = [this] { cmdSkip_Click(); };
}

void FrmBreakScreen::Form_Load() {
  ApplyWindowFonts(app_, *this);
  SetColors(BreakScreenColors(app_.theme.look()));
  for (const char* name : {"cmdPostpone", "cmdSkip"}) Ctl(name).SetEnabled(false);
}

void FrmBreakScreen::ShowCycle(const CycleSnapshot& s, bool inputOpen, const std::string& idea) {
  if (!loaded()) return;
  Control& ideaLabel = Ctl("lblIdea");
  ideaLabel.SetCaption(idea);
  // Centred when it takes one line; a longer one wraps across the block.
  const int ideaWidth = app_.sys.view.MeasureText(ideaLabel.font(), idea).width;
  const int ideaLeft = ideaWidth < kBlockWidth ? (kBlockWidth - ideaWidth) / 2 : 0;
  ideaLabel.Move(ideaLeft, ideaLabel.top(), kBlockWidth - ideaLeft, ideaLabel.height());
  const bool longBreak = s.state == CycleState::kOnBreak;
  const Countdown& left = longBreak ? s.breakTime : s.shortBreak;
  Control& time = Ctl("lblBreakTime");
  time.SetCaption(MinutesSeconds(left.remaining()));
  // Centred by its width: a label has no alignment of its own.
  const int textWidth = app_.sys.view.MeasureText(time.font(), time.caption()).width;
  time.Move(std::max(0, (kBlockWidth - textWidth) / 2), 0, std::min(kBlockWidth, textWidth + 120),
            1800);
  for (const char* name : {"cmdPostpone", "cmdSkip"}) Ctl(name).SetVisible(!s.strict);
  Ctl("cmdPostpone").SetEnabled(inputOpen && s.postponeAllowed);
  Ctl("cmdSkip").SetEnabled(inputOpen && !s.strict);
  // Above a full-screen program that came up since: asked again at every second.
  app_.sys.windows.SetTopMost(hWnd(), true);
}

void FrmBreakScreen::cmdPostpone_Click() {
  screen_.Postpone();
}

void FrmBreakScreen::cmdSkip_Click() {
  screen_.Skip();
}

void FrmBreakScreen::Form_QueryUnload(int& cancel, int unloadMode) {
  // Alt+F4 and the like: the screen goes only when the break is over (or the program ends).
  if (unloadMode == kUnloadFormControlMenu) {
    cancel = 1;
    Form_Input();
  }
}

void FrmBreakScreen::Form_Input() {
  if (!screen_.inputOpen()) app_.sys.trace.Line("breakscreen.input", {"ignored"});
}

BreakScreen::BreakScreen(App& app) : app_(app) {}

BreakScreen::~BreakScreen() = default;

std::vector<ScreenRect> BreakScreen::Monitors() {
  std::vector<ScreenRect> rects = app_.sys.windows.Monitors();
  std::erase_if(rects, [](const ScreenRect& r) { return r.right <= r.left || r.bottom <= r.top; });
  if (rects.empty()) rects.push_back(app_.sys.presence.PointerWorkArea());
  return rects;
}

void BreakScreen::ShowCycle(const CycleSnapshot& s) {
  const bool on = s.onScreen && (s.state == CycleState::kOnBreak || s.shortBreakOn);
  if (!on) {
    Close();
    return;
  }
  if (!subscribed_) {
    subscribed_ = true;
    // A monitor that comes or goes is covered or dropped at once; the look at every second's
    // snapshot catches what the system did not tell.
    app_.sys.windows.SubscribeMonitors([this] {
      if (open_) ShowCycle(app_.cycle.Snapshot());
    });
  }
  const std::vector<ScreenRect> monitors = Monitors();
  const bool opening = !open_;
  if (opening) {
    open_ = true;
    inputOpen_ = false;
    // One idea for the break, dealt as it begins ("" when ideas are off).
    idea_ = Literal(
        app_.ideas.Next(s.state == CycleState::kOnBreak ? IdeaKind::kLong : IdeaKind::kShort));
    const uint32_t serial = ++serial_;
    app_.sys.loop.After(kInputGateMs, [this, serial] {
      if (serial != serial_ || !open_) return;
      inputOpen_ = true;
      ShowCycle(app_.cycle.Snapshot());
    });
  }
  const size_t before =
      std::count_if(windows_.begin(), windows_.end(), [](const auto& w) { return w->loaded(); });
  while (windows_.size() < monitors.size())
    windows_.push_back(std::make_unique<FrmBreakScreen>(app_, *this));
  for (size_t i = monitors.size(); i < windows_.size(); ++i)
    if (windows_[i]->loaded()) windows_[i]->Unload();
  for (size_t i = 0; i < monitors.size(); ++i) {
    FrmBreakScreen& w = *windows_[i];
    // Covering from its creation: the window is made as one that covers.
    w.Cover(monitors[i]);
    if (!w.loaded()) w.Load();
    if (!w.loaded()) continue;
    w.ShowCycle(s, inputOpen_, idea_);
    // On top, without the keyboard: what the user types goes on where it went.
    if (!w.visible()) w.Show(false, false);
  }
  if (opening || before != monitors.size())
    app_.sys.trace.Line("breakscreen.show", {std::to_string(monitors.size())});
}

void BreakScreen::RunLongBreak() {
  ShowCycle(app_.cycle.Snapshot());
  // The lock first, as with the break window: a screen saver over an unlocked desktop is no break.
  const Settings& s = app_.settings;
  if (s.LockWorkstationOnBreak == 1) app_.sys.workstation.LockWorkStation();
  if (s.ActivateScreenSaver == 1) app_.sys.workstation.StartScreenSaver(app_.frmTimer().hWnd());
  // The command line waits as it waits for the break window.
  app_.ui.EnterModal();
  app_.sys.loop.RunUntil([this] {
    return std::none_of(windows_.begin(), windows_.end(),
                        [](const auto& w) { return w->loaded(); });
  });
  app_.ui.LeaveModal();
  open_ = false;
}

void BreakScreen::Close() {
  open_ = false;
  inputOpen_ = false;
  for (auto& w : windows_)
    if (w->loaded()) w->Unload();
}

void BreakScreen::Postpone() {
  if (!inputOpen_) return;
  if (app_.cycle.state() == CycleState::kOnBreak)
    app_.cycle.PostponeBreak();
  else
    app_.cycle.ShortBreakLater();
}

void BreakScreen::Skip() {
  if (!inputOpen_) return;
  if (app_.cycle.state() == CycleState::kOnBreak)
    app_.cycle.SkipBreak();
  else
    app_.cycle.ShortBreakSkip();
}

}  // namespace unw
