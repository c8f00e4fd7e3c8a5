#include "app/fonts.h"

namespace unw {

// Windows keep their design fonts until the system metrics are read.
void ApplyWindowFonts(App& /*app*/, Form& /*form*/) {}

}  // namespace unw
