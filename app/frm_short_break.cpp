#include "app/frm_short_break.h"

#include <algorithm>

#include "app/app.h"
#include "app/break_ideas.h"
#include "app/fonts.h"
#include "settings/number_text.h"
#include "settings/product.h"

namespace unw {

namespace {

// A small window that comes by itself: on top, centred where the user works, in the system's font.
void ShowUnasked(App& app, Form& form) {
  ApplyWindowFonts(app, form);
  app.sys.windows.SetTopMost(form.hWnd(), true);
  form.CenterIn(app.sys.presence.PointerWorkArea());
}

// Where the short break's text starts and how wide it runs, in twips.
constexpr int kTextLeft = 180;
constexpr int kTextTop = 150;
constexpr int kTextWidth = 4080;
constexpr int kOneLineHeight = 255;

// A label shows "&" as the mark of an access key: the user's "Tea & a walk" keeps its "&".
std::string Literal(const std::string& text) {
  std::string shown;
  for (char c : text) shown += c == '&' ? std::string("&&") : std::string(1, c);
  return shown;
}

}  // namespace

std::string HeadsUpText(const Texts& texts, HeadsUpKind kind, int32_t seconds) {
  const std::string n = std::to_string(seconds);
  const uint64_t count = seconds < 0 ? 0 : static_cast<uint64_t>(seconds);
  if (kind == HeadsUpKind::kShort)
    return texts.TN("A short break in {n} second.", "A short break in {n} seconds.", count,
                    {{"n", n}});
  return texts.TN("A break in {n} second.", "A break in {n} seconds.", count, {{"n", n}});
}

FrmShortBreak::FrmShortBreak(App& app) : Form(app.ui, "frmShortBreak"), app_(app) {}

void FrmShortBreak::Design() {
  const Texts& t = app_.texts;
  SetCaption(t.T("KORVANTE Unwindle - Short Break"));
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4440, 1200);
  Control& text = Add(ControlKind::kLabel, "lblShortBreakText");
  text.SetCaption(t.T("Look away from the screen for a moment."));
  text.Move(kTextLeft, kTextTop, kTextWidth, kOneLineHeight);
  Control& time = Add(ControlKind::kLabel, "lblShortBreakTime");
  time.SetCaption("0:00");
  time.Move(180, 480, 1440, 540);
  Font big;
  big.size = 18;
  big.bold = true;
  big.weight = 700;
  time.SetFont(big);
  Control& later = Add(ControlKind::kButton, "cmdShortBreakLater");
  later.SetCaption(t.T("&Later"));
  later.Move(1800, 600, 1140, 375);
  later.onClick = [this] { cmdShortBreakLater_Click(); };
  Control& skip = Add(ControlKind::kButton, "cmdShortBreakSkip");
  skip.SetCaption(t.T("S&kip"));
  skip.Move(3120, 600, 1140, 375);
  skip.SetDialogKeys(false, true);  // Esc skips, as the close box does
  skip.onClick = [this] { cmdShortBreakSkip_Click(); };
}

void FrmShortBreak::Form_Load() {
  // Each short break brings the next idea in place of the fixed line, when ideas are on; the
  // window grows to the lines it takes before it is centred.
  ApplyWindowFonts(app_, *this);
  const std::string idea = app_.ideas.Next(IdeaKind::kShort);
  if (!idea.empty()) ShowText(Literal(idea));
  app_.sys.windows.SetTopMost(hWnd(), true);
  CenterIn(app_.sys.presence.PointerWorkArea());
}

void FrmShortBreak::ShowText(const std::string& caption) {
  Control& text = Ctl("lblShortBreakText");
  text.SetCaption(caption);
  // Wrapped at spaces, a line holds a little less than its width; a line break starts one more.
  const TextSize size = app_.sys.view.MeasureText(text.font(), caption);
  const int breaks = static_cast<int>(std::count(caption.begin(), caption.end(), '\n'));
  const int lineHeight = size.height / (breaks + 1);
  int lines = breaks + 1;
  if (size.width > kTextWidth) lines += (size.width + size.width / 6) / kTextWidth;
  const int height = std::max(kOneLineHeight, lines * lineHeight + 30);
  text.Move(kTextLeft, kTextTop, kTextWidth, height);
  const int below = height - kOneLineHeight;
  for (const char* name : {"lblShortBreakTime", "cmdShortBreakLater", "cmdShortBreakSkip"}) {
    Control& c = Ctl(name);
    c.Move(c.left(), c.top() + below, c.width(), c.height());
  }
  SetSize(width(), this->height() + below);
}

void FrmShortBreak::ShowCycle(const CycleSnapshot& s) {
  if (!s.shortBreakOn || s.onScreen) {
    // Over (or on the break screen): closed here, without a word to the cycle (see
    // Form_QueryUnload).
    if (loaded()) Unload();
    return;
  }
  if (!loaded()) Show(false, false);
  if (!loaded()) return;
  Ctl("lblShortBreakTime").SetCaption(MinutesSeconds(s.shortBreak.remaining()));
  Ctl("cmdShortBreakLater").SetEnabled(s.shortLaterAllowed);
}

void FrmShortBreak::cmdShortBreakLater_Click() {
  app_.cycle.ShortBreakLater();
}

void FrmShortBreak::cmdShortBreakSkip_Click() {
  app_.cycle.ShortBreakSkip();
}

void FrmShortBreak::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  // Only the user's close skips the short break: the window closes by code when the snapshot says
  // the short break is over (or the program ends), and the cycle knows that already.
  if (unloadMode == kUnloadFormControlMenu) app_.cycle.ShortBreakSkip();
}

FrmHeadsUp::FrmHeadsUp(App& app) : Form(app.ui, "frmHeadsUp"), app_(app) {}

void FrmHeadsUp::Design() {
  const Texts& t = app_.texts;
  SetCaption(kMainCaption);
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(4440, 1080);
  Control& text = Add(ControlKind::kLabel, "lblHeadsUp");
  text.Move(180, 180, 4080, 255);
  Control& later = Add(ControlKind::kButton, "cmdHeadsUpLater");
  later.SetCaption(t.T("In &5 Minutes"));
  later.Move(2640, 540, 1620, 375);
  later.onClick = [this] { cmdHeadsUpLater_Click(); };
}

void FrmHeadsUp::Form_Load() {
  ShowUnasked(app_, *this);
}

void FrmHeadsUp::ShowCycle(const CycleSnapshot& s) {
  if (s.headsUp == HeadsUpKind::kNone) {
    if (loaded()) Unload();
    return;
  }
  if (!loaded()) Show(false, false);
  if (!loaded()) return;
  Ctl("lblHeadsUp").SetCaption(HeadsUpText(app_.texts, s.headsUp, s.headsUpSeconds));
  Ctl("cmdHeadsUpLater").SetEnabled(s.headsUpLaterAllowed);
}

void FrmHeadsUp::cmdHeadsUpLater_Click() {
  app_.cycle.HeadsUpLater();
}

void FrmHeadsUp::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  if (unloadMode == kUnloadFormControlMenu) app_.cycle.HeadsUpClose();
}

}  // namespace unw
