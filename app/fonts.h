// The user's system fonts, and the message font applied to a window and its controls.
#pragma once

#include <optional>
#include <string>

#include "forms/control.h"
#include "platform/system_metrics.h"

namespace unw {

class App;
class Form;

// The system's fonts and frame sizes, read when made and at each Refresh.
class cSystemFonts {
 public:
  explicit cSystemFonts(SystemMetrics& metrics);
  // Reads the metrics again.
  void Refresh();

  int BorderWidth() const { return ok_ ? fonts_.borderWidth : 0; }
  int CaptionHeight() const { return ok_ ? fonts_.captionHeight : 0; }
  // Fonts; none when the metrics could not be read.
  std::optional<Font> CaptionFont() const { return FontOf(fonts_.caption); }
  std::optional<Font> MenuFont() const { return FontOf(fonts_.menu); }
  std::optional<Font> StatusFont() const { return FontOf(fonts_.status); }
  std::optional<Font> SystemFont() const { return FontOf(fonts_.message); }

 private:
  std::optional<Font> FontOf(const unw::SystemFont& f) const;

  SystemMetrics& sys_;
  SystemFonts fonts_;
  bool ok_ = false;
};

// A system font as the form model's font.
Font ModelFont(const SystemFont& f);

// The large design font of the time displays.
Font TimeDisplayFont();

// Gives a window and, by the first three letters of their names, its controls
// the system message font.
void ApplyWindowFonts(App& app, Form& form);

}  // namespace unw
