#include "app/fonts.h"

#include "app/app.h"
#include "forms/form.h"

namespace unw {

namespace {

constexpr uint32_t kNonClientMetricsSize = 340;

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

std::string FaceNameFromBuffer(const std::array<char, 32>& buf) {
  for (size_t i = 0; i < buf.size(); ++i) {
    if (buf[i] == '\0') return std::string(buf.data(), i);
  }
  std::string s(buf.data(), buf.size());
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

Font FontFromLogFont(const LogFont& lf, int pixelsPerInchY) {
  Font f;
  f.bold = lf.lfWeight >= 700;
  f.charset = lf.lfCharSet;
  f.italic = lf.lfItalic != 0;
  f.name = FaceNameFromBuffer(lf.lfFaceName);
  f.size = pixelsPerInchY > 0 ? static_cast<float>(-72.0 * lf.lfHeight / pixelsPerInchY) : 0.0f;
  f.strikethrough = lf.lfStrikeOut != 0;
  f.underline = lf.lfUnderline != 0;
  f.weight = lf.lfWeight;
  return f;
}

cNonClientMetrics::cNonClientMetrics(SystemMetrics& metrics) : sys_(metrics) {
  m_.cbSize = kNonClientMetricsSize;
  Refresh();
}

void cNonClientMetrics::Refresh() {
  m_.cbSize = kNonClientMetricsSize;
  ok_ = sys_.GetNonClientMetrics(m_) != 0;
}

std::optional<Font> cNonClientMetrics::FontOf(const LogFont& lf) const {
  if (!ok_) return std::nullopt;
  return FontFromLogFont(lf, sys_.ScreenPixelsPerInchY());
}

void ApplyWindowFonts(App& app, Form& form) {
  cNonClientMetrics metrics(app.sys.metrics);
  if (auto f = metrics.SystemFont()) form.SetFont(*f);
  const std::string& name = form.name();
  for (const auto& owned : form.controls()) {
    Control& c = *owned;
    if (!HasFont(c)) continue;
    const bool label = NameStartsWith(c, "lbl");
    const bool text = NameStartsWith(c, "txt");
    bool whole = false, faceOnly = false;
    if (name == "frmUnwindle" || name == "frmRestartTimer" || name == "frmHoldPrograms" ||
        name == "frmRunningPrograms") {
      whole = true;
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
