// The Linux back end's system services made together, for the program's entry point: it adds
// the UI half's (event loop, renderer, dialogs, tray, windows, metrics, appearance, file dialog)
// and hands them all over as Services. The session's one program (LinuxProgramInstance) and the
// console are the launch's, made before any of these.
#pragma once

#include "backends/qt/calendar_linux.h"
#include "backends/qt/languages_linux.h"
#include "backends/qt/presence_linux.h"
#include "backends/qt/settings_storage_linux.h"
#include "backends/qt/shell_linux.h"
#include "backends/qt/sound_linux.h"
#include "backends/qt/storage_linux.h"

namespace unw {

struct LinuxSystemServices {
  // `loop`: the program's event loop, on whose thread (with its Qt loop) these are made.
  // `caretBlinkMs`: half the cursor's flash cycle as the desktop sets it.
  LinuxSystemServices(Trace& trace, EventLoop& loop, unsigned caretBlinkMs = 500,
                      LinuxPresence::Options presenceOptions = {})
      : settingsStorage(trace),
        storage(trace),
        startupLaunch(trace),
        shell(trace),
        workstation(trace, caretBlinkMs),
        presence(trace, std::move(presenceOptions)),
        sound(trace, loop),
        languages(trace) {}

  IniSettingsStorage settingsStorage;
  LinuxStorage storage;
  DesktopStartupLaunch startupLaunch;
  LinuxShell shell;
  LinuxWorkstation workstation;
  LinuxPresence presence;
  LinuxSoundPlayer sound;
  LinuxCalendar calendar;
  LinuxLanguages languages;
};

}  // namespace unw
