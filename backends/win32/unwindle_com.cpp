// unwindle.com: the command line of the running Unwindle, for consoles, scripts and hotkey tools.
// Windows starts a GUI program from a console without waiting for it and without its output; this
// console program, beside unwindle.exe, is what a console runs for "unwindle" (.com comes before
// .exe). It sends the command, waits for the answer, prints its one line and ends with its code
// (app/launch.h).
#include <windows.h>

#include <string>

#include "app/launch.h"
#include "platform/trace.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/languages_win32.h"
#include "backends/win32/program_instance_win32.h"
#include "backends/win32/settings_storage_win32.h"
#include "backends/win32/storage_win32.h"

int main() {
  unw::win32::Win32ProgramInstance instance;
  unw::win32::Win32Console console(unw::win32::Win32Console::Kind::kConsoleProgram);
  unw::Trace quiet(nullptr, "");
  unw::Win32Storage storage(quiet);
  unw::Win32Calendar calendar;
  unw::LaunchServices launch{instance, console, storage, calendar};
  // It speaks the program's language, with the catalogues of the unwindle.exe beside it (loaded
  // as data, never run); without one, English.
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring exe(path, length < MAX_PATH ? length : 0);
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"unwindle.exe";
  HMODULE program = LoadLibraryExW(exe.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  unw::Win32SettingsStorage settings(quiet);
  unw::Win32Languages languages(quiet, program);
  if (program) launch.texts = unw::CommandLineTexts(settings, languages);
  return unw::RunCommandLine(unw::win32::CommandArguments(), launch);
}
