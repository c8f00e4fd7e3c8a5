// One program per user session, and the way other copies reach it: a second start brings it
// forward, the installer asks it to exit, the command line hands it a command and waits for the
// answer. What travels is text; what it means is the core's (app/command_line.h, app/launch.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/trace.h"

namespace unw {

// What the running program does with what reaches it, each called on the program's own thread.
// Activate and Exit come from its loop; commands come one at a time, in the order they arrived
// (never one inside another's Answer), and each answer goes back to its sender, who waits for it.
class InstanceRequests {
 public:
  virtual ~InstanceRequests() = default;
  // A second start asks to see the program: false when it cannot follow that now.
  virtual bool Activate() = 0;
  // Another program (the installer) asks it to end: false when it cannot now.
  virtual bool Exit() = 0;
  // A command's text, as a sender handed it over (untrusted bytes): the answer's text.
  virtual std::string Answer(std::string_view bytes) = 0;
};

// What became of a command sent to the running program.
enum class Delivery {
  kAnswered,    // `answer` holds its answer
  kNotRunning,  // no program runs (or it ended before it answered)
  kNoAnswer,    // it runs but gave no answer within the time
};

struct Delivered {
  Delivery delivery = Delivery::kNotRunning;
  std::string answer;
};

// How long a sender waits: for a program still starting (it holds the claim but does not serve
// yet), then for the answer.
struct Patience {
  int findMs = 0;
  int answerMs = 0;
};

// A copy of the program this process started.
class StartedProgram {
 public:
  virtual ~StartedProgram() = default;
  // Its exit code once it has ended; none while it runs.
  virtual std::optional<uint32_t> ExitCode() = 0;
};

struct Started {
  std::unique_ptr<StartedProgram> program;  // null when it could not be started
  std::string path;                         // the program that was (to be) started
  unsigned long error = 0;                  // the system's error when it could not be
};

class ProgramInstance {
 public:
  virtual ~ProgramInstance() = default;

  // True when this process is the session's program from now until this object goes: no other
  // holds the claim, or the one that held it ended without letting go (a crash). Otherwise false
  // once the running program serves (waiting a few seconds for one still starting or ending),
  // having asked it to come to the front (its Activate) when `bringForward`.
  virtual bool Claim(bool bringForward) = 0;
  // Serves `requests` from the program's thread from now until StopServing (or this object goes).
  // `trace` tells whether the program could be reached (`instance.listen`).
  virtual void Serve(InstanceRequests& requests, Trace& trace) = 0;
  virtual void StopServing() = 0;

  // Hands `command` to the running program and waits for its answer: the first answer from the
  // program asked that `isAnswer` takes (any, when it is empty), within `patience`.
  virtual Delivered Send(std::string_view command, Patience patience,
                         const std::function<bool(std::string_view)>& isAnswer) = 0;
  // Starts the program beside this one with `arguments`, in its own folder.
  virtual Started Start(std::string_view arguments) = 0;
  // The sender's clock: milliseconds on a monotonic clock, and a wait on it.
  virtual int64_t NowMs() = 0;
  virtual void Sleep(int ms) = 0;
};

// Where a command line prints: its output and its errors.
class Console {
 public:
  virtual ~Console() = default;
  virtual void Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
};

}  // namespace unw
