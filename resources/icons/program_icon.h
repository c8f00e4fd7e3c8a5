// The program's own icon: the clock of the first tray icon set, at the sizes Explorer, the Start
// menu, the task switcher and the installer ask for.
#pragma once

#include "resources/icons/tray_icon_art.h"

namespace unw {

// The sizes the executable's icon group holds, smallest first.
inline constexpr int kProgramIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

// The program icon at `size` x `size` pixels (16 to 256); an empty image for other sizes.
IconImage RenderProgramIcon(int size);

}  // namespace unw
