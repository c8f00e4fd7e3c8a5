// The program's look: the user's choice (the setting Theme) over the system's light or dark mode
// for apps, and a high-contrast theme over both. Every window takes it, and takes it again at
// once when the choice or the system's setting changes.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/appearance.h"

namespace unw {

class App;

// Theme: 0 as Windows is set, 1 light, 2 dark.
Look LookFor(int16_t choice, const SystemAppearance& system);

class ThemeKeeper {
 public:
  explicit ThemeKeeper(App& app) : app_(app) {}
  ThemeKeeper(const ThemeKeeper&) = delete;
  ThemeKeeper& operator=(const ThemeKeeper&) = delete;

  // Shows the look of the settings as they stand and follows the system from now on.
  void Begin();
  // Gives the windows the look again if it changed (the setting was loaded or chosen).
  void Refresh();
  // The look the windows were given last (light before any).
  Look look() const { return shown_.value_or(Look::kLight); }

 private:
  App& app_;
  std::optional<Look> shown_;
};

}  // namespace unw
