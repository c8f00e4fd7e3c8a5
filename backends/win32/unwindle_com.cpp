// unwindle.com: the command line of the running Unwindle, for consoles, scripts and hotkey tools.
// Windows starts a GUI program from a console without waiting for it and without its output; this
// console program, beside unwindle.exe, is what a console runs for "unwindle" (.com comes before
// .exe). It sends the command, waits for the answer, prints its one line and ends with its code
// (app/launch.h).
#include <windows.h>

#include "app/launch.h"
#include "platform/trace.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/program_instance_win32.h"
#include "backends/win32/storage_win32.h"

int main() {
  unw::win32::Win32ProgramInstance instance;
  unw::win32::Win32Console console(unw::win32::Win32Console::Kind::kConsoleProgram);
  unw::Trace quiet(nullptr, "");
  unw::Win32Storage storage(quiet);
  unw::Win32Calendar calendar;
  unw::LaunchServices launch{instance, console, storage, calendar};
  return unw::RunCommandLine(unw::win32::CommandArguments(), launch);
}
