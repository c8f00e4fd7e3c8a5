// What the running program does with a command from the command line. Every command ends in a
// transition the menus also use; a command that would cut into a window waiting for the user's
// answer is refused, saying which window.
#pragma once

#include "app/command_line.h"
#include "cycle/status_line.h"

namespace unw {

class App;

// Where the cycle stands, for /status.
StatusFacts CurrentStatus(App& app);
// Carries out `command` (never /? nor /history, which the command line answers), or says why not.
Reply DispatchCommand(App& app, const Command& command);

}  // namespace unw
