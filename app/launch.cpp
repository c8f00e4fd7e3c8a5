#include "app/launch.h"

#include <utility>

#include "app/app.h"
#include "app/command_dispatch.h"
#include "app/frm_timer.h"
#include "history/journal.h"

namespace unw {

namespace {

bool IsReply(std::string_view bytes) {
  return DecodeReply(bytes).has_value();
}

std::string Code(const Reply& reply) {
  return std::to_string(reply.code);
}

// Asks again while the program answers that it is still starting, for `patience.findMs` at most.
Reply AskUntilReady(ProgramInstance& instance, const Command& command, Patience patience,
                    const Texts& texts) {
  const std::string bytes = EncodeCommand(command);
  for (const int64_t deadline = instance.NowMs() + patience.findMs;;) {
    const Delivered got = instance.Send(bytes, patience, IsReply);
    if (got.delivery == Delivery::kNoAnswer)
      return {kExitRefused, texts.T("Unwindle did not answer."), nullptr};
    const auto reply = got.delivery == Delivery::kAnswered ? DecodeReply(got.answer) : std::nullopt;
    if (!reply) return {kExitNotRunning, texts.T(kNotRunningLine), nullptr};
    if (reply->code != kReplyStarting) return *reply;
    if (instance.NowMs() >= deadline) return {kExitRefused, reply->line, nullptr};
    instance.Sleep(kStartPollMs);
  }
}

// /start with no program running: starts it with /start (it starts the timer once it is up) and
// answers with where it stands then.
Reply StartAndAsk(ProgramInstance& instance, const Texts& texts) {
  const Started started = instance.Start("/start");
  if (!started.program)
    return {kExitNotRunning,
            texts.T("Unwindle could not be started: {path} (error {error}).",
                    {{"path", started.path}, {"error", std::to_string(started.error)}}),
            nullptr};
  const std::string status = EncodeCommand({Verb::kStatus});
  Reply last{kExitRefused, texts.T("Unwindle did not answer in time."), nullptr};
  for (const int64_t deadline = instance.NowMs() + kStartPatienceMs; instance.NowMs() < deadline;
       instance.Sleep(kStartPollMs)) {
    if (const auto code = started.program->ExitCode()) {
      // Another start came first (several at once): the program that runs takes this one's
      // /start too. Only when none runs did this start fail.
      const Reply other =
          AskUntilReady(instance, {Verb::kStart}, {kStartPatienceMs, kStartPatienceMs}, texts);
      if (other.code != kExitNotRunning) return other;
      return {kExitNotRunning,
              texts.T("Unwindle ended as it started (exit code {code}).",
                      {{"code", std::to_string(*code)}}),
              nullptr};
    }
    // Still starting; answered once its start command has been carried out.
    const Delivered got = instance.Send(status, {0, kStartPatienceMs}, IsReply);
    if (got.delivery != Delivery::kAnswered) continue;
    if (auto reply = DecodeReply(got.answer)) {
      if (reply->code == kExitDone) return *reply;
      last = *reply;
      if (last.code == kReplyStarting) last.code = kExitRefused;
    }
  }
  return last;
}

}  // namespace

Reply SendCommand(ProgramInstance& instance, const Command& command, Patience patience,
                  const Texts& texts) {
  return AskUntilReady(instance, command, patience, texts);
}

int RunCommandLine(const std::vector<std::string>& args, LaunchServices& launch) {
  const Texts& t = launch.texts;
  const CommandLine line = ParseCommandLine(args, t);
  switch (line.kind) {
    case CommandLine::Kind::kNone:
      // "unwindle" typed in a console: the program, as from the Start menu.
      if (launch.instance.Start("").program) return kExitDone;
      launch.console.Err(t.T("Unwindle could not be started.") + "\n");
      return kExitNotRunning;
    case CommandLine::Kind::kBad:
      launch.console.Err(line.error + "\n" + UsageText(t));
      return kExitBadUsage;
    case CommandLine::Kind::kCommand:
      break;
  }
  if (line.command.verb == Verb::kHelp) {
    launch.console.Out(UsageText(t));
    return kExitDone;
  }
  const bool history = line.command.verb == Verb::kHistory;
  Reply reply = history ? HistoryAnswer(launch.storage, launch.calendar, line.command)
                        : SendCommand(launch.instance, line.command, kSendPatience, t);
  if (history && reply.code == kExitDone) {
    launch.console.Out(reply.line);  // the CSV, its lines ended already
    return kExitDone;
  }
  if (reply.code == kExitNotRunning && line.command.verb == Verb::kStart)
    reply = StartAndAsk(launch.instance, t);
  (reply.code == kExitDone ? launch.console.Out(reply.line + "\n")
                           : launch.console.Err(reply.line + "\n"));
  return reply.code;
}

int LaunchProgram(const std::vector<std::string>& args, LaunchServices& launch,
                  const RunTheProgram& run) {
  const CommandLine line = ParseCommandLine(args);
  if (line.kind == CommandLine::Kind::kBad) return kExitBadUsage;
  const bool command = line.kind == CommandLine::Kind::kCommand;
  if (command && line.command.verb == Verb::kHelp) return kExitDone;
  if (command && line.command.verb == Verb::kHistory) {
    // Printed only where the caller gave this program an output (a script's redirection).
    const Reply reply = HistoryAnswer(launch.storage, launch.calendar, line.command);
    if (reply.code == kExitDone) launch.console.Out(reply.line);
    return reply.code;
  }
  // /start with no program running starts this one; every other command goes to the running one.
  if (command) {
    const int code = SendCommand(launch.instance, line.command).code;
    if (code != kExitNotRunning || line.command.verb != Verb::kStart) return code;
  }
  if (!launch.instance.Claim(!command))
    return command ? SendCommand(launch.instance, line.command).code : kExitDone;
  return run(command ? std::optional<Command>(line.command) : std::nullopt);
}

int RunProgram(const Services& services, ProgramInstance& instance,
               const std::optional<Command>& startWith, const std::function<void()>& beforeEnd) {
  App app(services);
  InstanceServer server(app, instance, startWith);
  const int rc = app.Run();
  if (beforeEnd) beforeEnd();
  return rc;
}

InstanceServer::InstanceServer(App& app, ProgramInstance& instance,
                               const std::optional<Command>& startWith)
    : app_(app), instance_(instance), self_(std::make_shared<InstanceServer*>(this)) {
  instance_.Serve(*this, app_.sys.trace);
  if (!startWith) return;
  startCommand_ = startWith;
  startDeadline_ = app_.sys.loop.NowMs() + kStartCommandPatienceMs;
  PollStartCommand();
}

InstanceServer::~InstanceServer() {
  *self_ = nullptr;
  instance_.StopServing();
}

bool InstanceServer::Ready() {
  return app_.ui.Find("frmTimer") && !app_.ui.Find("frmSplash") &&
         app_.sys.view.TakesInput(app_.frmTimer());
}

bool InstanceServer::Activate() {
  // Bringing the window back is what a click on the tray icon does.
  const bool ready = Ready();
  if (ready) app_.trayActions.RestoreFromTray();
  app_.sys.trace.Line("instance.activate", {ready ? "1" : "0"});
  return ready;
}

bool InstanceServer::Exit() {
  // As when another program asks it to close: no question, the tray icon removed.
  const bool done = Ready() && app_.frmTimer().Unload(kUnloadAppTaskManager);
  app_.sys.trace.Line("instance.exit", {done ? "1" : "0"});
  return done;
}

void InstanceServer::PollStartCommand() {
  app_.sys.loop.After(kStartCommandPollMs, [self = self_] {
    if (!*self || !(*self)->startCommand_) return;
    (*self)->RunStartCommand();
    if ((*self)->startCommand_) (*self)->PollStartCommand();
  });
}

void InstanceServer::RunStartCommand() {
  if (!startCommand_ || answering_) return;
  const bool ready = Ready();
  if (!ready && app_.sys.loop.NowMs() < startDeadline_) return;
  const Command command = *std::exchange(startCommand_, std::nullopt);
  if (!ready) {
    app_.sys.trace.Line("instance.command", {"start", EncodeCommand(command), "dropped"});
    return;
  }
  answering_ = true;
  const Reply reply = DispatchCommand(app_, command);
  answering_ = false;
  app_.sys.trace.Line("instance.command",
                      {"start", EncodeCommand(command), Code(reply), reply.line});
  Later(reply);
}

void InstanceServer::Later(const Reply& reply) {
  if (!reply.then) return;
  app_.sys.loop.After(0, [self = self_, then = reply.then] {
    if (*self) then();
  });
}

std::string InstanceServer::Answer(std::string_view bytes) {
  if (answering_)
    return EncodeReply(kExitRefused, app_.texts.T("Unwindle is busy with another command."));
  // The command the program was started with comes first.
  RunStartCommand();
  const CommandLine line = DecodeCommand(bytes, app_.texts);
  Reply reply{kExitBadUsage, line.error, nullptr};
  const bool good = line.kind == CommandLine::Kind::kCommand;
  if (good) {
    answering_ = true;
    reply = DispatchCommand(app_, line.command);
    answering_ = false;
  }
  app_.sys.trace.Line("instance.command",
                      {"sent", good ? EncodeCommand(line.command) : "?", Code(reply), reply.line});
  Later(reply);
  return EncodeReply(reply.code, reply.line);
}

}  // namespace unw
