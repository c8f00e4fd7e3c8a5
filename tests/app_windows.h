// Every window of the program beside the main window and the break screen, loaded or not: what
// the tests that walk all windows (access keys, the layout in every language) go through.
#pragma once

#include <vector>

#include "app/app.h"
#include "app/frm_about.h"
#include "app/frm_break_ideas.h"
#include "app/frm_break_screen_options.h"
#include "app/frm_break_time_remaining.h"
#include "app/frm_hold_programs.h"
#include "app/frm_preferences.h"
#include "app/frm_restart_timer.h"
#include "app/frm_short_break.h"
#include "app/frm_short_breaks.h"
#include "app/frm_statistics.h"
#include "app/frm_unwindle.h"
#include "app/frm_working_hours.h"

namespace unw {

inline std::vector<Form*> EveryOtherWindow(App& app) {
  return {&app.frmAbout(),        &app.frmPreferences(),        &app.frmWorkingHours(),
          &app.frmHoldPrograms(), &app.frmRunningPrograms(),    &app.frmStatistics(),
          &app.frmUnwindle(),     &app.frmBreakTimeRemaining(), &app.frmRestartTimer(),
          &app.frmShortBreaks(),  &app.frmBreakScreenOptions(), &app.frmShortBreak(),
          &app.frmHeadsUp(),      &app.frmBreakIdeas(),         &app.frmSplash()};
}

}  // namespace unw
