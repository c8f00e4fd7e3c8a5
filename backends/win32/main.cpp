// unwindle.exe: builds the program's services from the Win32 back end and hands them to the
// launch (app/launch.h), which runs the program until its last window is gone; a second start in
// the same session only brings the running program forward. With a command
// ("unwindle.exe /pause 30") it is the command line without output: the running program carries
// it out and the exit code tells how it went.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/launch.h"
#include "platform/trace.h"
#include "backends/win32/appearance_win32.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/clock_win32.h"
#include "backends/win32/dialogs_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/file_dialog_win32.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/languages_win32.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/presence_win32.h"
#include "backends/win32/program_instance_win32.h"
#include "backends/win32/settings_storage_win32.h"
#include "backends/win32/shell_win32.h"
#include "backends/win32/sound_win32.h"
#include "backends/win32/storage_win32.h"
#include "backends/win32/system_metrics_win32.h"
#include "backends/win32/window_system_win32.h"
#include "backends/win32/workstation_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  unw::win32::Win32ProgramInstance instance;
  unw::win32::Win32Console console(unw::win32::Win32Console::Kind::kWindowsProgram);
  // /history reads the journal without a trace of its own.
  unw::Trace quiet(nullptr, "");
  unw::Win32Storage history(quiet);
  unw::Win32Calendar historyCalendar;
  unw::LaunchServices launch{instance, console, history, historyCalendar};
  return unw::LaunchProgram(
      unw::win32::CommandArguments(), launch, [&](const std::optional<unw::Command>& startWith) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        // COM only serves the task bar button; the program runs without it.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        int rc = 0;
        {
          unw::Win32Clock clock;
          unw::Trace trace([&clock] { return clock.NowMs(); }, unw::Trace::PathFromEnvironment());
          unw::Win32EventLoop loop(clock, trace);
          unw::Win32FormView view(trace);
          unw::Win32Dialogs dialogs(trace);
          unw::Win32WindowSystem windows(trace, view);
          unw::Win32Workstation workstation(trace);
          unw::Win32NotificationArea tray(trace, view);
          unw::Win32SoundPlayer sound(trace, loop);
          unw::Win32SystemMetrics metrics;
          unw::Win32FileDialog files(trace);
          unw::Win32Shell shell(trace);
          unw::Win32Presence presence(trace);
          unw::Win32Calendar calendar;
          unw::Win32Storage storage(trace);
          unw::Win32SettingsStorage settingsStorage(trace);
          unw::Win32StartupLaunch startupLaunch(trace);
          unw::Win32Appearance appearance(trace);
          unw::Win32Languages languages(trace);
          loop.SetPreTranslate([&view](MSG& msg) { return view.PreTranslate(msg); });
          // Windows still open after a quit message go while their forms exist.
          rc = unw::RunProgram(
              unw::Services{loop, view, dialogs, windows, workstation, tray, sound, metrics, files,
                            shell, presence, calendar, trace, storage, settingsStorage,
                            startupLaunch, appearance, languages},
              instance, startWith, [&view] { view.DestroyAll(); });
        }
        if (SUCCEEDED(com)) CoUninitialize();
        return rc;
      });
}
