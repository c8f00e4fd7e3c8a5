// Everything the program needs from its platform, handed over in one piece.
#pragma once

#include "platform/appearance.h"
#include "platform/calendar.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/file_dialog.h"
#include "platform/languages.h"
#include "platform/notification_area.h"
#include "platform/presence.h"
#include "platform/settings_storage.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/startup_launch.h"
#include "platform/storage.h"
#include "platform/system_metrics.h"
#include "platform/trace.h"
#include "platform/window_system.h"
#include "platform/workstation.h"

namespace unw {

class FormView;  // the renderer of the form model (forms/form_view.h)

struct Services {
  EventLoop& loop;
  FormView& view;
  Dialogs& dialogs;
  WindowSystem& windows;
  Workstation& workstation;
  NotificationArea& tray;
  SoundPlayer& sound;
  SystemMetrics& metrics;
  FileDialog& files;
  Shell& shell;
  Presence& presence;
  Calendar& calendar;                // the date and the time of day
  Trace& trace;                      // the diagnostic trace, for what the program decides
  Storage& storage;                  // the program's own files (the history)
  SettingsStorage& settingsStorage;  // the stored settings
  StartupLaunch& startupLaunch;      // whether the program starts at sign-in
  Appearance& appearance;            // light or dark, high contrast, as the system is set
  Languages& languages;              // the user's languages and the program's catalogues
};

}  // namespace unw
