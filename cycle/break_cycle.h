// Clearing the screen for an alert or a break, and bringing the main window back.
#pragma once

namespace unw {

class App;

// With true: closes the about box and the preferences dialog and hides the
// main window, remembering whether it was in its normal state. With false:
// shows the main window again if it was.
void HideWindowsForAlert(App& app, bool hide);

}  // namespace unw
