// Everything the program needs from its platform, handed over in one piece.
#pragma once

#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/form_view.h"
#include "platform/registry.h"
#include "platform/window_system.h"
#include "platform/workstation.h"

namespace unw {

struct Services {
  Registry& registry;
  EventLoop& loop;
  FormView& view;
  Dialogs& dialogs;
  WindowSystem& windows;
  Workstation& workstation;
};

}  // namespace unw
