#include "app/fonts.h"

#include "app/app.h"
#include "forms/form.h"

namespace unw {

namespace {

bool NameStartsWith(const Control& c, const char* prefix) {
  return c.name().rfind(prefix, 0) == 0;
}

bool HasFont(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kTimer:
    case ControlKind::kImage:
    case ControlKind::kMenu:
    case ControlKind::kMenuSeparator:
      return false;
    default:
      return true;
  }
}

}  // namespace

Font TimeDisplayFont() {
  Font f;
  f.name = "Comic Sans MS";
  f.size = 32.25f;
  f.bold = true;
  f.weight = 700;
  return f;
}

Font ModelFont(const SystemFont& sf) {
  Font f;
  f.bold = sf.weight >= 700;
  f.charset = sf.charset;
  f.italic = sf.italic;
  f.name = sf.face;
  f.size = sf.points;
  f.strikethrough = sf.strikeout;
  f.underline = sf.underline;
  f.weight = sf.weight;
  return f;
}

cSystemFonts::cSystemFonts(SystemMetrics& metrics) : sys_(metrics) {
  Refresh();
}

void cSystemFonts::Refresh() {
  fonts_ = SystemFonts{};
  ok_ = sys_.ReadFonts(fonts_);
}

std::optional<Font> cSystemFonts::FontOf(const unw::SystemFont& f) const {
  if (!ok_) return std::nullopt;
  return ModelFont(f);
}

void ApplyWindowFonts(App& app, Form& form) {
  cSystemFonts metrics(app.sys.metrics);
  if (auto f = metrics.SystemFont()) form.SetFont(*f);
  const std::string& name = form.name();
  for (const auto& owned : form.controls()) {
    Control& c = *owned;
    if (!HasFont(c)) continue;
    const bool label = NameStartsWith(c, "lbl");
    const bool text = NameStartsWith(c, "txt");
    bool whole = false, faceOnly = false;
    if (name == "frmUnwindle" || name == "frmRestartTimer" || name == "frmHoldPrograms" ||
        name == "frmRunningPrograms" || name == "frmShortBreaks" || name == "frmHeadsUp" ||
        name == "frmBreakScreenOptions" || name == "frmBreakIdeas") {
      whole = true;
    } else if (name == "frmShortBreak") {
      // The seconds left keep their size, in the system's face.
      whole = c.name() != "lblShortBreakTime";
      faceOnly = !whole;
    } else if (name == "frmBreakScreen") {
      faceOnly = true;  // its sizes are its own: read from across the room
    } else if (name == "frmBreakTimeRemaining") {
      whole = !label;
    } else if (name == "frmPreferences") {
      whole = !label && !text;
      faceOnly = !whole;
    } else if (name == "frmTimer") {
      whole = !label && !text;
    } else if (name == "frmStatistics") {
      whole = true;
    }
    if (!whole && !faceOnly) continue;
    auto sys = metrics.SystemFont();  // a fresh font for each control
    if (!sys) continue;
    if (whole) {
      c.SetFont(*sys);
    } else {
      Font keep = c.font();
      keep.name = sys->name;
      c.SetFont(keep);
    }
  }
}

}  // namespace unw
