#include "app/theme.h"

#include "app/app.h"

namespace unw {

namespace {

const char* LookWord(Look look) {
  switch (look) {
    case Look::kLight:
      return "light";
    case Look::kDark:
      return "dark";
    case Look::kHighContrast:
      return "highcontrast";
  }
  return "light";
}

}  // namespace

Look LookFor(int16_t choice, const SystemAppearance& system) {
  // A high-contrast theme is chosen for being readable: nothing of ours may stand in its way.
  if (system.highContrast) return Look::kHighContrast;
  if (choice == 1) return Look::kLight;
  if (choice == 2) return Look::kDark;
  return system.appsDark ? Look::kDark : Look::kLight;
}

void ThemeKeeper::Begin() {
  app_.sys.appearance.Watch([this] { Refresh(); });
  Refresh();
}

void ThemeKeeper::Refresh() {
  const Look look = LookFor(app_.settings.Theme, app_.sys.appearance.Read());
  if (shown_ == look) return;
  shown_ = look;
  app_.sys.trace.Line("theme", {LookWord(look)});
  app_.sys.view.SetLook(look);
}

}  // namespace unw
