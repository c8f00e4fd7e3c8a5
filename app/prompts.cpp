#include "app/prompts.h"

#include "app/app.h"
#include "settings/product.h"
#include "forms/control.h"
#include "forms/form_view.h"

namespace unw {

std::string DurationText(int minutes, int seconds) {
  if (minutes > 0) return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
  return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

void AutoSizeLabel(App& app, Control& label) {
  const TextSize size = app.sys.view.MeasureText(label.font(), label.caption());
  label.Move(label.left(), label.top(), size.width, size.height);
}

std::string MakerCaption(const char* lead) {
  return std::string(lead) + kMakerUrl;
}

}  // namespace unw
