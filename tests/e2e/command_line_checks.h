// End-to-end checks of the command line: unwindle.com (and unwindle.exe with arguments) against
// the real program, with what it prints and how it ends, as a console or a script sees them.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backends/win32/program_instance_win32.h"
#include "session.h"

namespace e2e {

// What a console program printed and how it ended.
struct Console {
  bool started = false;
  DWORD startError = 0;  // why it could not start
  bool ended = false;
  DWORD code = 0;
  std::string out, err;
};

// Runs `program` with `args` as a console would, its output into pipes; waits up to `ms`.
inline Console RunConsole(const std::string& program, const std::string& args, int ms) {
  Console c;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out[2] = {}, err[2] = {};  // read, write
  if (!CreatePipe(&out[0], &out[1], &sa, 0) || !CreatePipe(&err[0], &err[1], &sa, 0)) return c;
  SetHandleInformation(out[0], HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err[0], HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out[1];
  si.hStdError = err[1];
  PROCESS_INFORMATION pi{};
  std::string line = "\"" + program + "\" " + args;
  const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  c.started = started != FALSE;
  if (!started) c.startError = GetLastError();
  CloseHandle(out[1]);
  CloseHandle(err[1]);
  if (started) {
    // The answers are a few lines: they fit in the pipes while the program runs.
    c.ended = WaitFor(ms, [&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; });
    if (!c.ended) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &c.code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  // What is in the pipes once it ended: under Wine another process may hold a copy of a pipe's
  // end (a GUI program's start-up hands its handles on), so reading to the end could wait forever.
  for (auto [pipe, text] : {std::pair{out[0], &c.out}, std::pair{err[0], &c.err}}) {
    char buf[4096];
    DWORD ready = 0, got = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &ready, nullptr) && ready > 0 &&
           ReadFile(pipe, buf, std::min<DWORD>(ready, sizeof buf), &got, nullptr) && got > 0)
      text->append(buf, got);
    CloseHandle(pipe);
  }
  return c;
}

inline std::string ComBeside(const std::string& exe) {
  return exe.substr(0, exe.find_last_of('\\') + 1) + "unwindle.com";
}

// Runs unwindle.com (or, `exe`, the program itself) with `args`, keeping what came out in `ran`.
inline Action RunCommand(std::shared_ptr<Console> ran, const std::string& args, bool exe = false,
                         int ms = 20000) {
  return [=](Session& s) {
    // A program it starts traces where the session's program did.
    SetEnvironmentVariableA("UNWINDLE_TRACE", s.trace.empty() ? nullptr : s.trace.c_str());
    *ran = RunConsole(exe ? s.options.exe : ComBeside(s.options.exe), args, ms);
    SetEnvironmentVariableA("UNWINDLE_TRACE", nullptr);
    // What a failing step saw: a start that failed and why, or a program that hung and what it
    // had printed by then.
    const std::string what = std::string(exe ? "unwindle.exe " : "unwindle.com ") + args;
    if (!ran->started)
      s.error = what + " could not start (error " + std::to_string(ran->startError) + ")";
    else
      s.error = what + " did not end within " + std::to_string(ms) + " ms; it had printed " +
                Quote(ran->out) + " and " + Quote(ran->err.substr(0, 200)) + " on its error output";
    return ran->ended;
  };
}

// It ended with `code`, having printed `out` and `err` (`errStart`: err begins so).
inline Expect Printed(std::shared_ptr<Console> ran, DWORD code, std::string out,
                      std::string err = "", bool errStart = false) {
  return [=](Session&) {
    const bool errOk = errStart ? ran->err.rfind(err, 0) == 0 : ran->err == err;
    return ran->code == code && ran->out == out && errOk
               ? ""
               : Expected("exit code, output and errors",
                          std::to_string(ran->code) + ", " + Quote(ran->out) + ", " +
                              Quote(ran->err.substr(0, 200)),
                          std::to_string(code) + ", " + Quote(out) + ", " + Quote(err) +
                              (errStart ? "..." : ""));
  };
}

// "counting HH:MM:SS" within a second of what the main window shows.
inline Expect PrintedCounting(std::shared_ptr<Console> ran) {
  return Holds([=](Session& s, std::string& seen) {
    const std::string prefix = "counting ", line = ran->out;
    const int printed = line.rfind(prefix, 0) == 0 && line.size() == prefix.size() + 10
                            ? SecondsOf(line.substr(prefix.size(), 8))
                            : -1;
    const int shown = SecondsOf(s.Display());
    seen = "exit code " + std::to_string(ran->code) + ", printed " + Quote(line) +
           " while the window shows " + s.Display();
    return ran->code == 0 && printed >= 0 && std::abs(printed - shown) <= 1 &&
           line.substr(line.size() - 2) == "\r\n";
  });
}

// "paused until HH:MM" (with a day when it is not today), a minute or two from now.
inline Expect PrintedPausedUntil(std::shared_ptr<Console> ran) {
  return Holds([=](Session&, std::string& seen) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    seen = "exit code " + std::to_string(ran->code) + ", printed " + Quote(ran->out);
    // A minute before midnight the end falls on the next day, and the line says so.
    const std::string until = "paused until ", tomorrow = "tomorrow ";
    if (ran->out.rfind(until, 0) != 0) return false;
    std::string rest = ran->out.substr(until.size());
    const bool nextDay = rest.rfind(tomorrow, 0) == 0;
    if (nextDay) rest.erase(0, tomorrow.size());
    int h = -1, m = -1;
    char tail[4] = {};
    if (std::sscanf(rest.c_str(), "%d:%d%3c", &h, &m, tail) != 3) return false;
    const int nowMinute = now.wHour * 60 + now.wMinute;
    const int ahead = ((h * 60 + m) - nowMinute + 1440) % 1440;
    return ran->code == 0 && std::string(tail, 2) == "\r\n" && ahead >= 1 && ahead <= 2 &&
           nextDay == (h * 60 + m < nowMinute);
  });
}

// Many console programs at once, each with its `args`: what each printed and how it ended, and
// how long the slowest took (in `slowestMs`).
struct Crowd {
  std::vector<Console> ran;
  ULONGLONG slowestMs = 0;
};

inline Action RunCommandsAtOnce(std::shared_ptr<Crowd> crowd, std::vector<std::string> args,
                                int ms) {
  return [=](Session& s) {
    SetEnvironmentVariableA("UNWINDLE_TRACE", s.trace.empty() ? nullptr : s.trace.c_str());
    crowd->ran.assign(args.size(), Console{});
    crowd->slowestMs = 0;
    std::vector<ULONGLONG> took(args.size(), 0);
    std::vector<std::thread> clients;
    const std::string com = ComBeside(s.options.exe);
    for (size_t i = 0; i < args.size(); ++i)
      clients.emplace_back([&, i] {
        const ULONGLONG t0 = GetTickCount64();
        crowd->ran[i] = RunConsole(com, args[i], ms);
        took[i] = GetTickCount64() - t0;
      });
    for (std::thread& t : clients) t.join();
    SetEnvironmentVariableA("UNWINDLE_TRACE", nullptr);
    crowd->slowestMs = *std::max_element(took.begin(), took.end());
    s.error = "";
    for (size_t i = 0; i < args.size(); ++i)
      if (!crowd->ran[i].ended)
        s.error += "unwindle.com " + args[i] + " (client " + std::to_string(i) +
                   ") did not end; it had printed " + Quote(crowd->ran[i].out) + " and " +
                   Quote(crowd->ran[i].err.substr(0, 200)) + "; ";
    return s.error.empty();
  };
}

// Every one of the crowd ended with 0 and printed a line `ok` takes; says the slowest's time.
inline Expect AllAnswered(std::shared_ptr<Crowd> crowd,
                          std::function<bool(const std::string&)> ok) {
  return Holds([=](Session&, std::string& seen) {
    int good = 0;
    std::string first;
    for (const Console& c : crowd->ran) {
      if (c.code == 0 && ok(c.out) && c.err.empty())
        ++good;
      else if (first.empty())
        first = "; one ended " + std::to_string(c.code) + " with " + Quote(c.out) + " " +
                Quote(c.err.substr(0, 200));
    }
    seen = std::to_string(good) + " of " + std::to_string(crowd->ran.size()) +
           " answered, the slowest in " + std::to_string(crowd->slowestMs) + " ms" + first;
    std::printf("# %s\n", seen.c_str());
    return good == static_cast<int>(crowd->ran.size());
  });
}

// Ten commands from reply windows that are slow to take their answers (1.9 s each) or never take
// them: the countdown the main window shows keeps to the clock on the wall meanwhile. `drift`
// gets the difference in seconds at the end (the display's count against the wall's).
inline Action CommandsFromSlowWindows(std::shared_ptr<int> drift, bool hung) {
  return [=](Session& s) {
    struct Slow {
      std::atomic<int> answers{0};
      std::atomic<HWND> window{nullptr};
      HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    };
    auto slow = std::make_shared<Slow>();
    std::thread owner([slow, hung] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_COPYDATA) {
          Sleep(1900);
          reinterpret_cast<Slow*>(GetWindowLongPtrW(h, GWLP_USERDATA))->answers++;
          return TRUE;
        }
        return DefWindowProcW(h, m, w, l);
      };
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"Unwindle.Reply";
      RegisterClassW(&wc);
      HWND w = CreateWindowExW(0, L"Unwindle.Reply", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
      SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(slow.get()));
      slow->window = w;
      // A hung one takes no message at all until it is let go.
      while (hung ? WaitForSingleObject(slow->stop, 50) == WAIT_TIMEOUT
                  : MsgWaitForMultipleObjects(1, &slow->stop, FALSE, INFINITE, QS_ALLINPUT) !=
                        WAIT_OBJECT_0) {
        MSG m;
        while (!hung && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      }
      DestroyWindow(w);
    });
    while (!slow->window) Sleep(10);
    const HWND program = FindWindowA(unw::win32::kInstanceWindowClass, nullptr);
    const int shown0 = SecondsOf(s.Display());
    const ULONGLONG t0 = GetTickCount64();
    const std::string status = "/status";
    for (int i = 0; i < 10; ++i) {
      COPYDATASTRUCT data = {unw::win32::kCommandTag, static_cast<DWORD>(status.size()),
                             const_cast<char*>(status.data())};
      DWORD_PTR result = 0;
      SendMessageTimeoutW(program, WM_COPYDATA, reinterpret_cast<WPARAM>(slow->window.load()),
                          reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &result);
    }
    // The slow window takes its ten answers one after another; a hung one none.
    WaitFor(hung ? 8000 : 12000, [&] { return slow->answers == 10; });
    const ULONGLONG wall = (GetTickCount64() - t0) / 1000;
    const int shown1 = SecondsOf(s.Display());
    *drift = static_cast<int>(shown0 - shown1) - static_cast<int>(wall);
    std::printf("# %s reply windows: %d answers taken; the countdown went %d s in %llu s\n",
                hung ? "hung" : "slow", slow->answers.load(), shown0 - shown1,
                static_cast<unsigned long long>(wall));
    SetEvent(slow->stop);
    owner.join();
    CloseHandle(slow->stop);
    s.error = "the main window's time could not be read";
    return shown0 >= 0 && shown1 >= 0;
  };
}

// How many unwindle.exe processes run.
inline int ProgramsRunning() {
  int processes = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe))
    processes += _stricmp(pe.szExeFile, "unwindle.exe") == 0;
  CloseHandle(snap);
  return processes;
}

// The program the instance window belongs to (0: none runs).
inline DWORD RunningProgram() {
  HWND instance = FindWindowA(unw::win32::kInstanceWindowClass, nullptr);
  DWORD pid = 0;
  if (instance) GetWindowThreadProcessId(instance, &pid);
  return pid;
}

// The program a command started (`/start` with none running) becomes the session's.
inline Action AttachToRunning() {
  return [](Session& s) {
    const DWORD pid = RunningProgram();
    const DWORD rights = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE;
    s.error = "no running program to attach to";
    return pid && s.process.Attach(OpenProcess(rights, FALSE, pid), pid) &&
           WaitFor(5000, [&] { return (s.main = FindForm(pid, "frmTimer")) != nullptr; });
  };
}

// No program: every command says so (the program, started with it, says nothing), /start
// starts it. With a program: /status prints where it stands, a bad command says what is wrong,
// a command is refused while the preferences wait, /exit ends it.
inline void CommandLineChecks(Report& r, const Options& o) {
  auto ran = std::make_shared<Console>();
  auto crowd = std::make_shared<Crowd>();
  auto drift = std::make_shared<int>(0);
  std::vector<std::string> mixed;
  for (int i = 0; i < 50; ++i)
    mixed.push_back(i % 3 == 0 ? "/status" : i % 3 == 1 ? "/pause 1" : "/resume");
  const auto anyLine = [](const std::string& out) {
    return out.size() > 2 && out.substr(out.size() - 2) == "\r\n";
  };
  const std::string kNotRunning = "Unwindle is not running.\r\n";
  const std::vector<Step> steps = {
      {"cli.none_running", RunCommand(ran, "/status"), Printed(ran, 3, "", kNotRunning)},
      {"cli.exe_none_running_quiet", RunCommand(ran, "/stop", true), Printed(ran, 3, "")},
      {"", Start(o.exe, Settings("Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=0"))},
      {"cli.status_stopped", RunCommand(ran, "/status"),
       All({Printed(ran, 0, "stopped 01:00:00\r\n"),
            Traced("instance.command", {"sent", "/status", "0", "stopped 01:00:00"})})},
      {"", Press("frmTimer", "cmdStart"),
       [](Session& s) {
         return SecondsOf(s.Display()) < 3600 ? "" : "the countdown did not start";
       }},
      {"cli.status_counting", RunCommand(ran, "--STATUS"), PrintedCounting(ran)},
      {"cli.slow_reply_windows_hold_nothing", CommandsFromSlowWindows(drift, false),
       Holds([=](Session&, std::string& seen) {
         seen = "drift " + std::to_string(*drift) + " s";
         return std::abs(*drift) <= 1;
       })},
      {"cli.hung_reply_windows_hold_nothing", CommandsFromSlowWindows(drift, true),
       Holds([=](Session&, std::string& seen) {
         seen = "drift " + std::to_string(*drift) + " s";
         return std::abs(*drift) <= 1;
       })},
      {"cli.pause_for_a_minute", RunCommand(ran, "/pause 1"), PrintedPausedUntil(ran)},
      {"cli.status_paused_until", RunCommand(ran, "/status"), PrintedPausedUntil(ran)},
      {"cli.resume", RunCommand(ran, "/resume"), PrintedCounting(ran)},
      // A short break at once, whatever ShortBreaks says; the break that follows cuts it.
      {"cli.break_short", RunCommand(ran, "/break short"), Printed(ran, 0, "short break\r\n")},
      {"cli.status_short_break", RunCommand(ran, "/status"),
       Holds([=](Session&, std::string& seen) {
         seen = "exit code " + std::to_string(ran->code) + ", printed " + Quote(ran->out);
         // "short break 0:20" as it began, a second or two less by now.
         return ran->code == 0 && ran->out.size() == 18 &&
                ran->out.rfind("short break 0:", 0) == 0 && ran->out.substr(14) >= "15\r\n" &&
                ran->out.substr(14) <= "20\r\n";
       })},
      {"cli.break_opens_the_break_window", RunCommand(ran, "/break"),
       All({Printed(ran, 0, "break\r\n"), Visible("frmBreakTimeRemaining")}), 5000},
      {"", Press("frmBreakTimeRemaining", "cmdStopTimer"), Visible("frmRestartTimer")},
      {"", Press("frmRestartTimer", "cmdRestartTimer"), Visible("frmRestartTimer", false)},
      {"cli.bad_option", RunCommand(ran, "/bogus"),
       Printed(ran, 2, "", "unknown command \"/bogus\".\r\nUsage: unwindle [command]\r\n", true)},
      {"cli.bad_minutes", RunCommand(ran, "/pause 0"),
       Printed(ran, 2, "",
               "/pause takes a number of minutes from 1 to 1440, not \"0\".\r\nUsage:", true)},
      {"cli.help", RunCommand(ran, "/?"), Holds([=](Session&, std::string& seen) {
         seen = "exit code " + std::to_string(ran->code) + ", " + Quote(ran->out.substr(0, 80));
         return ran->code == 0 && ran->out.rfind("Usage: unwindle [command]\r\n", 0) == 0 &&
                ran->err.empty();
       })},
      {"cli.exe_forwards_quietly", RunCommand(ran, "/status", true),
       All({Printed(ran, 0, ""), Traced("instance.command", {"sent", "/status", "0"}, 3)})},
      // Fifty clients at once, three times: every one answered, none refused as busy.
      {"cli.fifty_at_once_1", RunCommandsAtOnce(crowd, mixed, 60000), AllAnswered(crowd, anyLine),
       5000},
      {"cli.fifty_at_once_2", RunCommandsAtOnce(crowd, mixed, 60000), AllAnswered(crowd, anyLine),
       5000},
      {"cli.fifty_at_once_3", RunCommandsAtOnce(crowd, mixed, 60000), AllAnswered(crowd, anyLine),
       5000},
      {"", Menu("mnuPreferencesPopMenu", true), Visible("frmPreferences")},
      {"cli.refused_while_preferences_wait", RunCommand(ran, "/exit"),
       All({Printed(ran, 4, "", "Unwindle cannot do that now: its Preferences window is open.\r\n"),
            That([] { return FindWindowA(unw::win32::kInstanceWindowClass, nullptr); },
                 "the program ended")})},
      {"", Press("frmPreferences", "cmdExit"), Visible("frmPreferences", false)},
      {"cli.exit", RunCommand(ran, "/exit"),
       All({Printed(ran, 0, "exiting\r\n"), Ended(0), Traced("tray.delete", {})}), 10000},
      {"cli.after_exit", RunCommand(ran, "/status"), Printed(ran, 3, "", kNotRunning)},
      // With none running, /start starts the program beside it and answers once it is up.
      {"cli.start_starts_the_program", RunCommand(ran, "/start", false, 60000),
       All({Holds([=](Session&, std::string& seen) {
              seen = "exit code " + std::to_string(ran->code) + ", " + Quote(ran->out) + ", " +
                     Quote(ran->err);
              return ran->code == 0 && ran->out.rfind("counting ", 0) == 0 && ran->err.empty();
            }),
            Traced("instance.command", {"start", "/start"}, 1, true)}),
       5000, false, true},
      {"", AttachToRunning()},
      {"cli.started_program_exits", RunCommand(ran, "/exit"),
       All({Printed(ran, 0, "exiting\r\n"), Ended(0)}), 10000},
      // Twenty /starts at once with none running: one program starts, and every one of them
      // says it counts.
      {"cli.twenty_starts_at_once",
       RunCommandsAtOnce(crowd, std::vector<std::string>(20, "/start"), 90000),
       All({AllAnswered(crowd,
                        [](const std::string& out) { return out.rfind("counting ", 0) == 0; }),
            Holds([](Session&, std::string& seen) {
              const int n = ProgramsRunning();
              seen = std::to_string(n) + " unwindle.exe running";
              return n == 1;
            })}),
       10000, false, true},
      {"", AttachToRunning()},
      {"cli.raced_program_exits", RunCommand(ran, "/exit"),
       All({Printed(ran, 0, "exiting\r\n"), Ended(0)}), 10000},
  };
  RunSteps(r, o, "command_line", std::nullopt, steps);
}

}  // namespace e2e
