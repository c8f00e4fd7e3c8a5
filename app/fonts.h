// The user's system fonts: the non-client metrics, and the message font
// applied to a window and its controls.
#pragma once

#include <optional>
#include <string>

#include "forms/control.h"
#include "platform/system_metrics.h"

namespace unw {

class App;
class Form;

class cNonClientMetrics {
 public:
  explicit cNonClientMetrics(SystemMetrics& metrics);
  // Reads the metrics again.
  void Refresh();

  int32_t BorderWidth() const { return ok_ ? m_.iBorderWidth : 0; }
  int32_t ScrollWidth() const { return ok_ ? m_.iScrollWidth : 0; }
  int32_t ScrollHeight() const { return ok_ ? m_.iScrollHeight : 0; }
  int32_t CaptionWidth() const { return ok_ ? m_.iCaptionWidth : 0; }
  int32_t CaptionHeight() const { return ok_ ? m_.iCaptionHeight : 0; }
  int32_t SmCaptionWidth() const { return ok_ ? m_.iSmCaptionWidth : 0; }
  int32_t SmCaptionHeight() const { return ok_ ? m_.iSmCaptionHeight : 0; }
  int32_t MenuWidth() const { return ok_ ? m_.iMenuWidth : 0; }
  int32_t MenuHeight() const { return ok_ ? m_.iMenuHeight : 0; }
  // Fonts; none when the metrics could not be read.
  std::optional<Font> CaptionFont() const { return FontOf(m_.lfCaptionFont); }
  std::optional<Font> MenuFont() const { return FontOf(m_.lfMenuFont); }
  std::optional<Font> StatusFont() const { return FontOf(m_.lfStatusFont); }
  std::optional<Font> SystemFont() const { return FontOf(m_.lfMessageFont); }

 private:
  std::optional<Font> FontOf(const LogFont& lf) const;

  SystemMetrics& sys_;
  NonClientMetricsData m_;
  bool ok_ = false;
};

// The face name held in a fixed 32-character buffer.
std::string FaceNameFromBuffer(const std::array<char, 32>& buf);
// A LOGFONT as a font object, its height turned into points at `pixelsPerInchY`.
Font FontFromLogFont(const LogFont& lf, int pixelsPerInchY);

// The large design font of the time displays.
Font TimeDisplayFont();

// Gives a window and, by the first three letters of their names, its controls
// the system message font.
void ApplyWindowFonts(App& app, Form& form);

}  // namespace unw
