// How both programs start: unwindle.com (the command line for consoles and scripts) and
// unwindle.exe (the program, or with a command the command line without output). They read their
// arguments, answer /? and /history themselves, hand any other command to the running program,
// and unwindle.exe becomes the session's program when none runs. Only the back end's entry points
// call this; what they hand over is the platform's (platform/program_instance.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/calendar.h"
#include "platform/program_instance.h"
#include "platform/services.h"
#include "platform/storage.h"

namespace unw {

class App;

// What the launch needs before there is a program: the session's program, where to print, and
// the history's files and calendar (for /history).
struct LaunchServices {
  ProgramInstance& instance;
  Console& console;
  Storage& storage;
  Calendar& calendar;
  // What the command line says, in the user's language (English unless the caller chose one).
  Texts texts = Texts();
};

// How long a sender waits for a program that is starting, then for its answer (it answers from
// inside the call: only a program that is hung takes long).
inline constexpr Patience kSendPatience{10000, 15000};
// How long /start waits for the program it started to answer: its splash alone takes five seconds;
// and how often it asks.
inline constexpr int kStartPatienceMs = 30000;
inline constexpr int kStartPollMs = 250;
// How long a program started with a command waits to be ready to carry it out, and how often it
// looks.
inline constexpr int kStartCommandPatienceMs = 60000;
inline constexpr int kStartCommandPollMs = 250;

// unwindle.com: prints the answer's line (errors and refusals to the errors) and returns the exit
// code. Without arguments it starts the program, as from the Start menu.
int RunCommandLine(const std::vector<std::string>& args, LaunchServices& launch);

// unwindle.exe: with a command, the command line without output (only /history prints, where the
// caller gave it an output); /start with none running, or no command, makes this process the
// session's program, and then `run` builds and runs it with the command it was started with.
// A second start brings the running program forward and returns 0.
using RunTheProgram = std::function<int(const std::optional<Command>& startWith)>;
int LaunchProgram(const std::vector<std::string>& args, LaunchServices& launch,
                  const RunTheProgram& run);

// The program on `services`, serving the session through `instance` (which it claimed) until its
// last window is gone. `beforeEnd` runs after the loop while the windows still exist.
int RunProgram(const Services& services, ProgramInstance& instance,
               const std::optional<Command>& startWith, const std::function<void()>& beforeEnd);

// Hands `command` to the running program: its answer; "Unwindle is not running." (3) when none
// runs, a refusal (4) when it gives no answer.
Reply SendCommand(ProgramInstance& instance, const Command& command,
                  Patience patience = kSendPatience, const Texts& texts = Texts());

// The running program's side: what a second start, the installer and the command line get from
// it. A command is answered at once (what its Reply then does runs afterwards from the program's
// loop); the command the program was started with comes first, once the program is ready for it.
class InstanceServer : public InstanceRequests {
 public:
  InstanceServer(App& app, ProgramInstance& instance, const std::optional<Command>& startWith);
  ~InstanceServer() override;
  InstanceServer(const InstanceServer&) = delete;
  InstanceServer& operator=(const InstanceServer&) = delete;

  bool Activate() override;
  bool Exit() override;
  std::string Answer(std::string_view bytes) override;

 private:
  // Requests from outside are followed only while the main window takes input: not during the
  // splash (the main window comes after it anyway), nor while a prompt, a dialog or a message box
  // waits for an answer.
  bool Ready();
  void PollStartCommand();
  // Carries the start-up command out if the program is ready for it.
  void RunStartCommand();
  // Hands `reply`'s follow-up to the program's loop.
  void Later(const Reply& reply);

  App& app_;
  ProgramInstance& instance_;
  std::optional<Command> startCommand_;
  int64_t startDeadline_ = 0;
  bool answering_ = false;  // a command is being carried out: one arriving meanwhile is refused
  std::shared_ptr<InstanceServer*> self_;  // what the loop's later work finds (null once gone)
};

}  // namespace unw
