#include "app/app.h"

#include "app/frm_about.h"
#include "app/frm_timer.h"
#include "settings/frm_preferences.h"
#include "cycle/frm_break_time_remaining.h"
#include "cycle/frm_restart_timer.h"
#include "cycle/frm_unwindle.h"
#include "platform/window_system.h"

namespace unw {

App::App(const Services& services)
    : sys(services),
      ui(services.view, services.loop, services.dialogs),
      store(services.registry),
      frmTimer_(std::make_unique<FrmTimer>(*this)),
      frmUnwindle_(std::make_unique<FrmUnwindle>(*this)),
      frmBreakTimeRemaining_(std::make_unique<FrmBreakTimeRemaining>(*this)),
      frmRestartTimer_(std::make_unique<FrmRestartTimer>(*this)),
      frmPreferences_(std::make_unique<FrmPreferences>(*this)),
      frmAbout_(std::make_unique<FrmAbout>(*this)),
      frmSplash_(std::make_unique<FrmSplash>(*this)) {}

App::~App() = default;

void App::Start() {
  frmTimer_->Show();
}

int App::Run() {
  Start();
  sys.loop.RunUntil([this] { return ui.forms().empty(); });
  return 0;
}

long SetTopMost(App& app, std::uintptr_t hwnd, bool topMost) {
  return app.sys.windows.SetWindowPos(hwnd, topMost ? kHwndTopMost : kHwndNoTopMost, 0, 0, 0, 0,
                                      kSwpNoMove | kSwpNoSize);
}

void SetTaskVisible(App& app, bool visible) {
  app.sys.windows.SetTaskVisible(visible);
}

}  // namespace unw
