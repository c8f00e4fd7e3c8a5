#include "app/prompts.h"

#include "app/app.h"
#include "i18n/texts.h"
#include "settings/product.h"
#include "forms/control.h"
#include "forms/form_view.h"

namespace unw {

namespace {

uint64_t Count(int n) {
  return n < 0 ? 0 : static_cast<uint64_t>(n);
}

}  // namespace

std::string ReminderInText(const Texts& texts, int minutes, int seconds) {
  if (minutes > 0)
    return texts.TN("Reminder in {n} minute", "Reminder in {n} minutes", Count(minutes),
                    {{"n", std::to_string(minutes)}});
  return texts.TN("Reminder in {n} second", "Reminder in {n} seconds", Count(seconds),
                  {{"n", std::to_string(seconds)}});
}

std::string UnwindleForText(const Texts& texts, int minutes, int seconds) {
  if (minutes > 0)
    return texts.TN("Unwindle for {n} minute", "Unwindle for {n} minutes", Count(minutes),
                    {{"n", std::to_string(minutes)}});
  return texts.TN("Unwindle for {n} second", "Unwindle for {n} seconds", Count(seconds),
                  {{"n", std::to_string(seconds)}});
}

void AutoSizeLabel(App& app, Control& label) {
  const TextSize size = app.sys.view.MeasureText(label.font(), label.caption());
  label.Move(label.left(), label.top(), size.width, size.height);
}

std::string MakerCaption(const Texts& texts, const char* caption) {
  return texts.T(caption, {{"url", kMakerUrl}});
}

}  // namespace unw
