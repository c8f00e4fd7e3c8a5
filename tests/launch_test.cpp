// How both programs start, on the fake session: what the command line prints and how it ends with
// no program running and with one; a second start that brings the running program forward; /start
// that starts the program and waits for it; the command a program was started with; what the
// running program answers a copy that sends it something, on the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/launch.h"
#include "backends/fake/fake_instance.h"
#include "program_fixture.h"

namespace unw {
namespace {

// The number that follows `before` in `text` (-1: none).
int NumberAfter(const std::string& text, const std::string& before) {
  const size_t at = text.find(before);
  if (at == std::string::npos) return -1;
  size_t end = at + before.size();
  int n = 0, digits = 0;
  for (; end < text.size() && text[end] >= '0' && text[end] <= '9'; ++end, ++digits)
    n = n * 10 + (text[end] - '0');
  return digits ? n : -1;
}

// A copy of the program on the fake session: what it printed and how it ended.
struct Ended {
  int code = -1;
  std::string out, err;
  std::string Shown() const { return std::to_string(code) + " [" + out + "] [" + err + "]"; }
};

class LaunchTest : public ProgramTest {
 protected:
  LaunchTest() {
    // What passes while a command line waits passes for the program too, once it runs.
    session.sleep = [this](int ms) {
      if (sim.running()) sim.Advance(ms);
    };
  }
  ~LaunchTest() override { server.reset(); }

  LaunchServices Services(FakeConsole& console) {
    return {*copies.emplace_back(std::make_unique<FakeProgramInstance>(session)), console,
            sim.fake.storage, sim.fake.calendar};
  }
  // unwindle.com with `args`.
  Ended Com(const std::vector<std::string>& args) {
    FakeConsole console;
    LaunchServices launch = Services(console);
    const int code = RunCommandLine(args, launch);
    return {code, console.out, console.err};
  }
  // unwindle.exe with `args`; `ran` tells what it was started with when it became the program.
  Ended Exe(const std::vector<std::string>& args) {
    FakeConsole console;
    LaunchServices launch = Services(console);
    const int code = LaunchProgram(args, launch, [&](const std::optional<Command>& startWith) {
      ran = startWith ? EncodeCommand(*startWith) : "(none)";
      return 0;
    });
    return {code, console.out, console.err};
  }
  // The session's program, served as unwindle.exe serves it, started with `startWith`.
  void ServeProgram(std::optional<Command> startWith = std::nullopt, bool throughSplash = true) {
    Plant(Planted("Hours=1 Minutes=0 Seconds=0"));
    ASSERT_TRUE(program.Claim(true));
    server = std::make_unique<InstanceServer>(sim.app(), program, startWith);
    sim.Launch();
    session.onProgramThread = [this](const std::function<void()>& work) { sim.Do(work); };
    if (throughSplash) sim.AdvanceSeconds(5);
  }

  FakeSession session;
  FakeProgramInstance program{session, &sim.fake.loop};
  std::vector<std::unique_ptr<FakeProgramInstance>> copies;
  std::unique_ptr<InstanceServer> server;
  std::string ran;
};

TEST_F(LaunchTest, WithNoProgramRunningTheCommandLineSaysSoOrAnswersItself) {
  const std::string usage = UsageText();
  const struct {
    std::vector<std::string> args;
    bool startable;
    std::string shown, starts;
  } cases[] = {
      {{}, true, "0 [] []", ""},
      {{}, false, "3 [] [Unwindle could not be started.\n]", ""},
      {{"/?"}, true, "0 [" + usage + "] []", "-"},
      // Every fault of usage (its words are the parser's) says what is wrong, then the usage.
      {{"/bogus"}, true, "2 [] [unknown command \"/bogus\".\n" + usage + "]", "-"},
      {{"/status"}, true, "3 [] [Unwindle is not running.\n]", "-"},
      {{"/exit"}, true, "3 [] [Unwindle is not running.\n]", "-"},
      {{"/break", "short"}, true, "3 [] [Unwindle is not running.\n]", "-"},
      {{"/start"},
       false,
       "3 [] [Unwindle could not be started: "
       "C:\\Program Files\\KORVANTE\\Unwindle\\unwindle.exe (error 2).\n]",
       "/start"},
  };
  for (const auto& c : cases) {
    session.starts.clear();
    session.start = [&](const std::string&) -> std::unique_ptr<StartedProgram> {
      if (!c.startable) return nullptr;
      struct Running : StartedProgram {
        std::optional<uint32_t> ExitCode() override { return std::nullopt; }
      };
      return std::make_unique<Running>();
    };
    const std::string what = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(Com(c.args).Shown(), c.shown) << what;
    EXPECT_EQ(session.starts,
              c.starts == "-" ? std::vector<std::string>{} : std::vector<std::string>{c.starts})
        << what;
  }
}

TEST_F(LaunchTest, TheProgramWithACommandBecomesTheProgramOnlyForStart) {
  const struct {
    std::vector<std::string> args;
    int code;
    std::string ran;
  } cases[] = {
      {{}, 0, "(none)"},         {{"/start"}, 0, "/start"},  {{"--START"}, 0, "/start"},
      {{"/pause", "30"}, 3, ""}, {{"/status"}, 3, ""},       {{"/exit"}, 3, ""},
      {{"/bogus"}, 2, ""},       {{"/start", "now"}, 2, ""}, {{"/?"}, 0, ""},
  };
  for (const auto& c : cases) {
    ran.clear();
    const Ended r = Exe(c.args);
    const std::string what = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(r.code, c.code) << what;
    EXPECT_EQ(ran, c.ran) << what;
    EXPECT_EQ(r.out + r.err, "") << what << ": a program without a console prints nothing";
    copies.clear();  // the copy that claimed lets go when it ends
  }
}

TEST_F(LaunchTest, TheUsageStatesTheLimitsThatHold) {
  const std::string usage = UsageText();
  const int minutes = NumberAfter(usage, "for 1 to ");
  const int days = NumberAfter(usage, "as CSV (");
  const int most = NumberAfter(usage, " unless given, up to ");
  ASSERT_GT(minutes, 0);
  ASSERT_GT(most, days);
  for (int n : {minutes, most}) {
    const char* verb = n == minutes ? "/pause" : "/history";
    EXPECT_EQ(ParseCommandLine({verb, std::to_string(n)}).kind, CommandLine::Kind::kCommand);
    EXPECT_EQ(ParseCommandLine({verb, std::to_string(n + 1)}).kind, CommandLine::Kind::kBad);
  }
  // Every command it lists is taken as it is written there (what is in brackets may be left out).
  std::vector<std::string> listed;
  for (size_t at = usage.find("\n  /"); at != std::string::npos; at = usage.find("\n  /", at + 1)) {
    const std::string command = usage.substr(at + 3, usage.find("  ", at + 3) - at - 3);
    std::vector<std::string> words;
    for (size_t w = 0; w < command.size();) {
      const size_t end = std::min(command.find(' ', w), command.size());
      if (command[w] != '[') words.push_back(command.substr(w, end - w));
      w = end + 1;
    }
    EXPECT_EQ(ParseCommandLine(words).kind, CommandLine::Kind::kCommand) << command;
    listed.push_back(command);
  }
  EXPECT_NE(std::find(listed.begin(), listed.end(), "/break short"), listed.end());
  // /history without a number prints the days it says, a line each after the header.
  const Ended history = Com({"/history"});
  EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), days + 1) << history.out;
  // The exit codes it names are the ones the programs end with.
  EXPECT_EQ(Com({"/bogus"}).code, NumberAfter(usage, "done, "));
  EXPECT_EQ(Com({"/status"}).code, NumberAfter(usage, "bad usage, "));
  EXPECT_EQ(Com({"/?"}).code, NumberAfter(usage, "Exit codes: "));
}

// /history reads the file itself: one it cannot read is said in a person's words, and refused.
TEST_F(LaunchTest, AHistoryThatCannotBeReadIsSaidWhy) {
  FakeStorage& disk = sim.fake.storage;
  const std::string file = disk.PathOf("history.tsv");
  disk.files[file] = "# KORVANTE Unwindle history\tversion 1\n";
  const struct {
    std::set<std::string>& cause;
    const char* reason;
  } cases[] = {{disk.locked, "the file is locked by another program"},
               {disk.oversized, "the file is too large"}};
  for (const auto& c : cases) {
    c.cause.insert(file);
    const Ended r = Com({"/history", "3"});
    EXPECT_EQ(r.code, 4) << "refused";
    EXPECT_EQ(r.out + r.err,
              std::string("The history before today could not be read: ") + c.reason + ".\n");
    c.cause.clear();
  }
  EXPECT_EQ(Com({"/history", "3"}).code, 0);
}

TEST_F(LaunchTest, ASecondCopyForwardsItsCommandAndPrintsTheAnswer) {
  ServeProgram();
  const struct {
    std::vector<std::string> args;
    bool com;
    std::string shown;
    CycleState after;
  } cases[] = {
      {{"/status"}, true, "0 [stopped 01:00:00\n] []", CycleState::kStopped},
      {{"/start"}, true, "0 [counting 01:00:00\n] []", CycleState::kCounting},
      {{"--PAUSE"}, false, "0 [] []", CycleState::kPaused},
      {{"/resume"}, true, "0 [counting 01:00:00\n] []", CycleState::kCounting},
      {{"/stop"}, false, "0 [] []", CycleState::kStopped},
      {{"/pause"},
       true,
       "4 [] [Unwindle is not counting: there is nothing to pause.\n]",
       CycleState::kStopped},
      {{"/pause"}, false, "4 [] []", CycleState::kStopped},
      {{"/start"}, false, "0 [] []", CycleState::kCounting},
  };
  for (const auto& c : cases) {
    const Ended r = c.com ? Com(c.args) : Exe(c.args);
    EXPECT_EQ(r.Shown(), c.shown) << c.args[0];
    EXPECT_EQ(State(), c.after) << c.args[0];
  }
  EXPECT_EQ(ran, "") << "no copy became the program";
  EXPECT_EQ(session.starts, std::vector<std::string>{});
  EXPECT_EQ(TraceCount(sim, "instance.command\tsent\t/status\t0\tstopped 01:00:00"), 1);
  // /exit: the answer first, then the program ends without its question.
  EXPECT_EQ(Com({"/exit"}).Shown(), "0 [exiting\n] []");
  sim.Advance(1);
  EXPECT_FALSE(sim.running());
  EXPECT_TRUE(sim.fake.dialogs.shown.empty());
  server.reset();  // the program's end, as RunProgram ends it once its loop is over
  EXPECT_EQ(Com({"/status"}).Shown(), "3 [] [Unwindle is not running.\n]");
}

TEST_F(LaunchTest, WhatACommandThenDoesWaitsUntilTheAnswerIsOut) {
  ServeProgram();
  FakeProgramInstance sender(session);
  const Delivered got = sender.Send("/break", kSendPatience, nullptr);
  EXPECT_EQ(got.answer, "0 break");
  // The break window opens from the program's loop once the answer is given.
  const std::vector<std::string>& lines = sim.fake.trace.lines();
  const auto line = [&](const std::string& what) {
    return std::find_if(
               lines.begin(), lines.end(),
               [&](const std::string& l) { return l.find("\t" + what) != std::string::npos; }) -
           lines.begin();
  };
  EXPECT_LT(line("instance.command\tsent\t/break\t0\tbreak"),
            line("window.load\tfrmBreakTimeRemaining"));
  EXPECT_TRUE(sim.FindForm("frmBreakTimeRemaining"));
  // What arrives is checked before anything reads it; a refusal changes nothing.
  const std::pair<std::string, std::string> sent[] = {
      {"", "2 the command is empty."},
      {std::string("/stop\0", 6), "2 the command holds a control character."},
      {"/history 3", "2 /history is answered by the command line itself."},
      {"/stop", "4 Unwindle cannot do that now: a break is on."},
  };
  for (const auto& [bytes, answer] : sent)
    EXPECT_EQ(sender.Send(bytes, kSendPatience, nullptr).answer, answer) << bytes;
  EXPECT_TRUE(sim.FindForm("frmBreakTimeRemaining"));
  EXPECT_EQ(TraceCount(sim, "instance.command\tsent\t?\t2\tthe command is empty."), 1);
}

TEST_F(LaunchTest, ASecondStartBringsTheProgramBackOnceItTakesInput) {
  ServeProgram(std::nullopt, false);
  // During the splash the request is dropped.
  EXPECT_EQ(Exe({}).Shown(), "0 [] []");
  sim.Advance(1);
  EXPECT_EQ(TraceCount(sim, "instance.activate\t0"), 1);
  sim.AdvanceSeconds(5);
  sim.Close("frmTimer");
  ASSERT_FALSE(sim.form("frmTimer").visible()) << "in the tray";
  EXPECT_EQ(Exe({}).Shown(), "0 [] []");
  sim.Advance(1);
  EXPECT_TRUE(sim.form("frmTimer").visible());
  EXPECT_EQ(TraceCount(sim, "instance.activate\t1"), 1);
  EXPECT_EQ(ran, "");
  // The installer's request ends it without its question.
  EXPECT_TRUE(session.RequestExit());
  sim.Advance(1);
  EXPECT_FALSE(sim.running());
  EXPECT_EQ(TraceCount(sim, "instance.exit\t1"), 1);
}

TEST_F(LaunchTest, StartWithNoneRunningStartsTheProgramAndAnswersOnceItCounts) {
  struct Started : StartedProgram {
    explicit Started(Sim& s) : sim(s) {}
    std::optional<uint32_t> ExitCode() override {
      return sim.running() ? std::nullopt : std::optional<uint32_t>(0);
    }
    Sim& sim;
  };
  session.start = [this](const std::string& args) -> std::unique_ptr<StartedProgram> {
    ran = args;
    ServeProgram(Command{Verb::kStart}, false);
    return std::make_unique<Started>(sim);
  };
  const int64_t t0 = sim.now();
  const Ended r = Com({"/start"});
  EXPECT_EQ(r.code, 0) << r.Shown();
  EXPECT_TRUE(r.out.starts_with("counting ")) << r.Shown();
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ran, "/start");
  EXPECT_GE(sim.now() - t0, 5000) << "it waited through the splash";
  EXPECT_LT(sim.now() - t0, 6000);
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_EQ(TraceCount(sim, "instance.command\tstart\t/start\t0"), 1);
  EXPECT_EQ(TraceCount(sim, "instance.command\tsent\t/status\t" + std::to_string(kReplyStarting) +
                                "\tUnwindle is still starting."),
            static_cast<int>(copies.front()->sent.size()) - 2)
      << "/start found none; then asked until it answered";
}

TEST_F(LaunchTest, StartWithNoneRunningSaysWhenTheStartedProgramDoesNotAnswer) {
  const struct {
    std::optional<uint32_t> exitCode;
    std::string shown;
  } cases[] = {
      {7, "3 [] [Unwindle ended as it started (exit code 7).\n]"},
      {std::nullopt, "4 [] [Unwindle did not answer in time.\n]"},
  };
  for (const auto& c : cases) {
    struct Started : StartedProgram {
      std::optional<uint32_t> code;
      std::optional<uint32_t> ExitCode() override { return code; }
    };
    session.start = [&](const std::string&) {
      auto started = std::make_unique<Started>();
      started->code = c.exitCode;
      return started;
    };
    const int64_t t0 = session.now;
    EXPECT_EQ(Com({"/start"}).Shown(), c.shown);
    EXPECT_EQ(session.now - t0, c.exitCode ? 0 : kStartPatienceMs) << "how long it waited";
  }
}

TEST_F(LaunchTest, AStartThatLostTheRaceToAnotherHandsItsCommandToTheWinner) {
  // No program when asked; the one this start makes ends at once (another start claimed the
  // session first, without /start) while the other is still in its splash.
  struct Lost : StartedProgram {
    std::optional<uint32_t> ExitCode() override { return 4; }
  };
  session.start = [this](const std::string&) -> std::unique_ptr<StartedProgram> {
    ServeProgram(std::nullopt, false);
    return std::make_unique<Lost>();
  };
  const Ended r = Com({"/start"});
  EXPECT_EQ(r.Shown(), "0 [counting 01:00:00\n] []") << "the winner took this /start";
  EXPECT_EQ(State(), CycleState::kCounting);
}

TEST_F(LaunchTest, TheCommandTheProgramStartedWithComesFirstOnceItIsReady) {
  ServeProgram(Command{Verb::kStart}, false);
  // Asked during the splash, the command line waits for the program to be ready; the program's
  // own start command is carried out before the question is answered.
  const int64_t t0 = sim.now();
  EXPECT_EQ(Com({"/status"}).Shown(), "0 [counting 01:00:00\n] []");
  EXPECT_GE(sim.now() - t0, 4000) << "it waited through the splash";
  EXPECT_EQ(TraceCount(sim, "instance.command\tstart\t/start\t0"), 1) << "carried out by itself";
  EXPECT_EQ(State(), CycleState::kCounting);
  sim.AdvanceSeconds(60);
  EXPECT_EQ(TraceCount(sim, "instance.command\tstart"), 1) << "once";
}

}  // namespace
}  // namespace unw
