// How the user set the system to look: apps light or dark, and whether a high-contrast theme is
// on; and word when either changes.
#pragma once

#include <functional>

namespace unw {

struct SystemAppearance {
  bool appsDark = false;      // the user's choice of dark mode for apps
  bool highContrast = false;  // a high-contrast theme is on
  bool operator==(const SystemAppearance&) const = default;
};

// The one look every window of the program takes.
enum class Look {
  kLight,
  kDark,
  kHighContrast,  // the system's own colours, nothing of the program's
};

class Appearance {
 public:
  virtual ~Appearance() = default;
  // As it is now; a system that does not say is light, without high contrast.
  virtual SystemAppearance Read() = 0;
  // `changed` runs on the program's thread after either may have changed (it may run when
  // nothing did: read again to know). One watcher; a second call replaces it.
  virtual void Watch(std::function<void()> changed) = 0;
};

}  // namespace unw
