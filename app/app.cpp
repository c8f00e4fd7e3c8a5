#include "app/app.h"

#include "app/frm_about.h"
#include "app/frm_break_screen_options.h"
#include "app/frm_break_ideas.h"
#include "app/frm_hold_programs.h"
#include "app/frm_preferences.h"
#include "app/frm_short_breaks.h"
#include "app/frm_statistics.h"
#include "app/frm_timer.h"
#include "app/frm_working_hours.h"

namespace unw {

App::App(const Services& services)
    : sys(services),
      ui(services.view, services.loop, services.dialogs),
      store(services.settingsStorage),
      tray(services.tray, settings),
      sounds(services.sound, settings, services.trace),
      chooser(services.files, sounds),
      journal(services.storage, services.calendar),
      random(static_cast<std::mt19937::result_type>(services.calendar.UtcMs())),
      frmTimer_(std::make_unique<FrmTimer>(*this)),
      cycle(CycleDeps{settings, store, tray, sounds, services.presence, services.calendar,
                      services.loop, services.trace, windows, texts}),
      frmPreferences_(std::make_unique<FrmPreferences>(*this)),
      frmHoldPrograms_(std::make_unique<FrmHoldPrograms>(*this)),
      frmRunningPrograms_(std::make_unique<FrmRunningPrograms>(*this)),
      frmAbout_(std::make_unique<FrmAbout>(*this)),
      frmSplash_(std::make_unique<FrmSplash>(*this)),
      frmWorkingHours_(std::make_unique<FrmWorkingHours>(*this)),
      frmShortBreaks_(std::make_unique<FrmShortBreaks>(*this)),
      frmBreakScreenOptions_(std::make_unique<FrmBreakScreenOptions>(*this)),
      frmBreakIdeas_(std::make_unique<FrmBreakIdeas>(*this)),
      frmStatistics_(std::make_unique<FrmStatistics>(*this)) {
  cycle.AddObserver(recorder);
}

App::~App() = default;

void App::Start() {
  frmTimer_->Show();
}

const std::vector<CarriedLanguage>& App::languages() {
  if (!languages_) {
    languages_ = ReadCatalogues(sys.languages.Catalogues(), [this](size_t i) {
      sys.trace.Line("language.refused", {std::to_string(i)});
    });
  }
  return *languages_;
}

void App::UseLanguage() {
  texts = TextsToSpeak(settings.Language == " " ? "" : settings.Language,
                       sys.languages.PreferredUiLanguages(), languages());
  sys.trace.Line("language", {texts.Language().empty() ? "en" : texts.Language()});
}

int App::Run() {
  Start();
  sys.loop.RunUntil([this] { return ui.forms().empty(); });
  return 0;
}

void SetTaskVisible(App& app, bool visible) {
  app.sys.windows.SetTaskVisible(visible);
}

}  // namespace unw
