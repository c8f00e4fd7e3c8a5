// The command line: what it accepts and the line it gives for what it does not; the command and
// the answer as they travel between the programs, whatever another process puts in them; and
// what the running program answers, from each state, on the virtual clock.
#include <gtest/gtest.h>

#include "app/command_dispatch.h"
#include "app/command_line.h"
#include "settings/utf8_text.h"
#include "program_fixture.h"

namespace unw {
namespace {

using Kind = CommandLine::Kind;

std::string Shown(const CommandLine& line) {
  switch (line.kind) {
    case Kind::kNone:
      return "none";
    case Kind::kBad:
      return "bad: " + line.error;
    case Kind::kCommand:
      return EncodeCommand(line.command);
  }
  return "?";
}

TEST(CommandLine, EveryCommandInEitherFormAndAnyCase) {
  struct Case {
    std::vector<std::string> args;
    Verb verb;
    std::optional<int> minutes;
  } cases[] = {
      {{"/pause"}, Verb::kPause, {}},
      {{"/pause", "30"}, Verb::kPause, 30},
      {{"--PAUSE", "1"}, Verb::kPause, 1},
      {{"/Pause", "1440"}, Verb::kPause, 1440},
      {{"/pause", "007"}, Verb::kPause, 7},
      {{"/resume"}, Verb::kResume, {}},
      {{"--Resume"}, Verb::kResume, {}},
      {{"/START"}, Verb::kStart, {}},
      {{"--start"}, Verb::kStart, {}},
      {{"/stop"}, Verb::kStop, {}},
      {{"--sToP"}, Verb::kStop, {}},
      {{"/break"}, Verb::kBreak, {}},
      {{"--BREAK"}, Verb::kBreak, {}},
      {{"/status"}, Verb::kStatus, {}},
      {{"--status"}, Verb::kStatus, {}},
      {{"/Exit"}, Verb::kExit, {}},
      {{"--exit"}, Verb::kExit, {}},
      {{"/?"}, Verb::kHelp, {}},
      {{"--?"}, Verb::kHelp, {}},
      {{"--help"}, Verb::kHelp, {}},
      {{"/break", "short"}, Verb::kShortBreak, {}},
      {{"--Break", "SHORT"}, Verb::kShortBreak, {}},
      {{"/BREAK", "Short"}, Verb::kShortBreak, {}},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.kind, Kind::kCommand) << c.args[0] << " " << Shown(line);
    EXPECT_EQ(line.command, (Command{c.verb, c.minutes})) << c.args[0] << " " << Shown(line);
  }
  EXPECT_EQ(ParseCommandLine({}).kind, Kind::kNone) << "no arguments: the program as always";
}

TEST(CommandLine, BadUsageSaysWhatIsWrong) {
  std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"/pause", "30", "40"}, "/pause takes one number of minutes; \"40\" is one too many."},
      {{"/pause", "/stop"}, "one command at a time: \"/stop\" follows \"/pause\"."},
      {{"/start", "--STOP"}, "one command at a time: \"--STOP\" follows \"/start\"."},
      {{"/status", "now"}, "\"/status\" takes no value; \"now\" is one too many."},
      {{"--exit", "30"}, "\"--exit\" takes no value; \"30\" is one too many."},
      {{"pause"}, "\"pause\" is not a command: commands start with / or --, as in /pause."},
      {{"STOP", "/stop"}, "\"STOP\" is not a command: commands start with / or --, as in /stop."},
      {{"-status"}, "\"-status\" is not a command: commands start with / or --, as in /status."},
      {{""}, "\"\" is not a command: commands start with / or --, as in /status."},
      {{"/break", "long"}, "/break takes \"short\" or nothing, not \"long\"."},
      {{"--BREAK", "5"}, "/break takes \"short\" or nothing, not \"5\"."},
      {{"/break", ""}, "/break takes \"short\" or nothing, not \"\"."},
      {{"/break", "shorter"}, "/break takes \"short\" or nothing, not \"shorter\"."},
      {{"/break", "short", "now"}, "\"/break short\" takes no value; \"now\" is one too many."},
      {{"/break", "short", "/stop"}, "one command at a time: \"/stop\" follows \"/break\"."},
      {{"/break", "/short"}, "/break takes \"short\" or nothing, not \"/short\"."},
  };
  for (const char* minutes :
       {"0", "-5", "1441", "99999999999999999999", "+5", "1.5", "ten", "", "--5"})
    cases.push_back(
        {{"/pause", minutes},
         std::string("/pause takes a number of minutes from 1 to 1440, not \"") + minutes + "\"."});
  for (const char* word : {"/foo", "/", "---status", "/pause30"})
    cases.push_back({{word}, std::string("unknown command \"") + word + "\"."});
  for (const auto& [args, error] : cases) EXPECT_EQ(Shown(ParseCommandLine(args)), "bad: " + error);
}

TEST(CommandLine, HistoryTakesANumberOfDaysUpToWhatTheHistoryKeeps) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"/history"}, "days none"},
      {{"--HISTORY", "1"}, "days 1"},
      {{"/History", "400"}, "days 400"},
      {{"/history", "0"}, "bad: /history takes a number of days from 1 to 400, not \"0\"."},
      {{"/history", "401"}, "bad: /history takes a number of days from 1 to 400, not \"401\"."},
      {{"/history", "two"}, "bad: /history takes a number of days from 1 to 400, not \"two\"."},
      {{"/history", "7", "8"}, "bad: /history takes one number of days; \"8\" is one too many."},
      {{"/history", "/status"}, "bad: one command at a time: \"/status\" follows \"/history\"."},
  };
  for (const auto& [args, want] : cases) {
    const CommandLine line = ParseCommandLine(args);
    const bool history = line.kind == Kind::kCommand && line.command.verb == Verb::kHistory;
    const std::string seen = !history            ? Shown(line)
                             : line.command.days ? "days " + std::to_string(*line.command.days)
                                                 : "days none";
    EXPECT_EQ(seen, want) << args[0];
    EXPECT_FALSE(history && line.command.minutes) << "a number of days is no pause";
  }
}

TEST(CommandLine, ACommandTravelsAsTextAndOnlyAWellFormedOneArrives) {
  for (const Command& c :
       {Command{Verb::kPause, {}}, Command{Verb::kPause, 1440}, Command{Verb::kResume, {}},
        Command{Verb::kStart, {}}, Command{Verb::kStop, {}}, Command{Verb::kBreak, {}},
        Command{Verb::kStatus, {}}, Command{Verb::kExit, {}}, Command{Verb::kShortBreak, {}}}) {
    const CommandLine back = DecodeCommand(EncodeCommand(c));
    EXPECT_EQ(back.kind, Kind::kCommand) << EncodeCommand(c) << " " << back.error;
    EXPECT_EQ(back.command, c) << EncodeCommand(c);
  }
  EXPECT_EQ(Shown(DecodeCommand("  /PAUSE   30 ")), "/pause 30");
  EXPECT_EQ(Shown(DecodeCommand("--Break  SHORT")), "/break short");
  const std::pair<std::string, const char*> hostile[] = {
      {"", "the command is empty."},
      {"   ", "the command is empty."},
      {std::string(65, '/'), "the command is too long."},
      {std::string(1 << 20, 'x'), "the command is too long."},
      {std::string("/status\0", 8), "the command holds a control character."},
      {std::string("\0", 1), "the command holds a control character."},
      {"/status\r\n", "the command holds a control character."},
      {"/status\t/stop", "the command holds a control character."},
      {"\xff\xfe/status", "the command is not UTF-8 text."},
      {"/stat\xc3", "the command is not UTF-8 text."},          // cut inside a character
      {"/\xc0\xafstatus", "the command is not UTF-8 text."},    // an overlong '/'
      {"/\xed\xa0\x80", "the command is not UTF-8 text."},      // a surrogate
      {"/\xf4\x90\x80\x80", "the command is not UTF-8 text."},  // past U+10FFFF
      {"/stat\xc3\xbcs", "unknown command \"/stat\xc3\xbcs\"."},
      {"/start /stop", "one command at a time: \"/stop\" follows \"/start\"."},
      {"/pause -1", "/pause takes a number of minutes from 1 to 1440, not \"-1\"."},
      {"/?", "/? is answered by the command line itself."},
      {"/history 3", "/history is answered by the command line itself."},
  };
  for (const auto& [bytes, error] : hostile)
    EXPECT_EQ(Shown(DecodeCommand(bytes)), std::string("bad: ") + error) << bytes.substr(0, 20);
}

TEST(CommandLine, AnAnswerIsOneLineOfUtf8ThatFits) {
  struct Sent {
    int code;
    std::string line, wire;
  } sent[] = {
      {0, "counting 00:42:17", "0 counting 00:42:17"},
      {4, "Unwindle cannot do that now: its Preferences window is open.",
       "4 Unwindle cannot do that now: its Preferences window is open."},
      {2, "unknown command \"/\xc3\xa9t\xc3\xa9\".", "2 unknown command \"/\xc3\xa9t\xc3\xa9\"."},
      {0, std::string("two\r\nlines\tand\0a NUL", 20), "0 two  lines and a NUL"},
      {3, "bad \xff byte \xe2\x82", "3 bad ? byte ??"},
  };
  for (const Sent& s : sent) {
    const std::string wire = EncodeReply(s.code, s.line);
    EXPECT_EQ(wire, s.wire);
    const auto back = DecodeReply(wire);
    ASSERT_TRUE(back) << wire;
    EXPECT_EQ(std::tuple(back->code, back->line), std::tuple(s.code, s.wire.substr(2)));
  }
  // A long line is cut to fit, never inside a character.
  std::string long_line;
  for (int i = 0; i < 400; ++i) long_line += "\xc3\xa9";
  const std::string cut = EncodeReply(0, long_line);
  EXPECT_LE(cut.size(), kMaxReplyBytes);
  EXPECT_GE(cut.size(), kMaxReplyBytes - 1);
  EXPECT_TRUE(WellFormedUtf8(cut));
  EXPECT_TRUE(DecodeReply(cut));
  // What no running program of ours sends.
  using namespace std::string_literals;
  const std::string forged[] = {"",       "0",       "0x",           "00 x",    "1 done",
                                "9 done", "-1 done", "0 two\nlines", "0 a\0b"s, "0 \xff"};
  for (const std::string& f : forged) EXPECT_FALSE(DecodeReply(f)) << f;
  EXPECT_FALSE(DecodeReply("0 " + std::string(kMaxReplyBytes, 'x'))) << "too long";
}

class DispatchTest : public ProgramTest {
 protected:
  Reply Send(Verb verb, std::optional<int> minutes = {}) {
    Reply reply;
    sim.Do([&] { reply = DispatchCommand(sim.app(), {verb, minutes}); });
    return reply;
  }
  std::string Status() {
    const Reply r = Send(Verb::kStatus);
    return std::to_string(r.code) + " " + r.line;
  }
};

TEST_F(DispatchTest, StatusTellsWhereTheCycleStandsInEveryState) {
  Plant(Planted("Hours=0 Minutes=1 Seconds=0 BreakMinutes=5 BreakSeconds=0"));
  sim.Launch();
  EXPECT_EQ(Send(Verb::kStatus).code, kReplyStarting) << "during the splash: ask again";
  EXPECT_EQ(Send(Verb::kStop).code, kReplyStarting);
  sim.AdvanceSeconds(5);
  struct Step {
    std::function<void()> act;
    const char* status;
  } steps[] = {
      {[] {}, "0 stopped 00:01:00"},
      {[&] { sim.Click("frmTimer", "cmdStart"), sim.AdvanceSeconds(17); }, "0 counting 00:00:43"},
      {[&] { sim.Click("frmTimer", "cmdPause"), sim.AdvanceSeconds(5); }, "0 paused 00:00:43"},
      {[&] { sim.Click("frmTimer", "cmdStart"), sim.AdvanceSeconds(44); }, "0 alert"},
      {[&] { sim.Click("frmUnwindle", "cmdUnwindle"), sim.AdvanceSeconds(48); },
       "0 break 00:04:12"},
      {[&] { sim.AdvanceSeconds(253); }, "0 break over"},
      {[&] { sim.Click("frmRestartTimer", "cmdStopTimer"); }, "0 stopped 00:01:00"},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(Status(), s.status) << CycleStateName(State());
  }
}

TEST_F(DispatchTest, ACommandThatWouldCutIntoAWaitingWindowIsRefusedSayingWhich) {
  Plant({{"Hours", "0"}, {"Minutes", "0"}, {"Seconds", "5"}});
  sim.Start();
  struct Case {
    std::function<void()> open, close;
    const char* why;
  } cases[] = {
      {[&] { sim.Click("frmTimer", "mnuPreferences"); },
       [&] { sim.Click("frmPreferences", "cmdExit"); }, "its Preferences window is open"},
      {[&] { sim.Click("frmTimer", "mnuHoldForPrograms"); },
       [&] { sim.Click("frmHoldPrograms", "cmdCancel"); },
       "its window of programs that hold alerts is open"},
      {[&] { sim.Click("frmTimer", "mnuShortBreaks"); },
       [&] { sim.Click("frmShortBreaks", "cmdCancel"); }, "its Short Breaks window is open"},
      {[&] { sim.Click("frmTimer", "mnuBreakIdeas"); },
       [&] { sim.Click("frmBreakIdeas", "cmdCancel"); }, "its Break Ideas window is open"},
      {[&] { sim.Click("frmTimer", "mnuBreakScreen"); },
       [&] { sim.Click("frmBreakScreenOptions", "cmdCancel"); }, "its Break Screen window is open"},
      {[&] { sim.Click("frmTimer", "mnuAbout"); }, [&] { sim.Click("frmAbout", "cmdOK"); },
       "its About window is open"},
      {[&] { sim.Click("frmTimer", "mnuStatistics"); },
       [&] { sim.Click("frmStatistics", "cmdClose"); }, "its Statistics window is open"},
      {[&] { sim.Click("frmTimer", "mnuExit"); }, [&] { sim.Answer(MessageAnswer::kNo); },
       "it is asking whether to exit"},
      {[&] { sim.Click("frmTimer", "cmdChange"); }, [&] { sim.Click("frmTimer", "cmdSave"); },
       "its main window's time entry is open"},
      {[&] { sim.Click("frmTimer", "cmdStart"), sim.AdvanceSeconds(6); },
       [&] { sim.Click("frmUnwindle", "cmdStopTimer"); }, "the break prompt waits for an answer"},
  };
  for (const Case& c : cases) {
    c.open();
    const CycleState before = State();
    for (Verb verb : {Verb::kExit, Verb::kStart, Verb::kBreak, Verb::kShortBreak}) {
      const Reply r = Send(verb);
      EXPECT_EQ(r.code, kExitRefused);
      EXPECT_EQ(r.line, std::string("Unwindle cannot do that now: ") + c.why + ".");
      EXPECT_FALSE(r.then);
    }
    EXPECT_EQ(Send(Verb::kStatus).code, kExitDone) << "reading interrupts nobody";
    EXPECT_EQ(State(), before);
    c.close();
  }
  EXPECT_TRUE(sim.running());
}

TEST_F(DispatchTest, ExitEndsTheProgramWithoutItsQuestionOnceTheAnswerIsOut) {
  Start();
  const Reply r = Send(Verb::kExit);
  EXPECT_EQ(std::tuple(r.code, r.line), std::tuple(kExitDone, std::string("exiting")));
  ASSERT_TRUE(r.then);
  EXPECT_TRUE(sim.running()) << "nothing happens before the answer is on its way";
  sim.Do(r.then);
  EXPECT_FALSE(sim.running());
  EXPECT_TRUE(sim.fake.dialogs.open.empty()) << "no exit question";
  EXPECT_TRUE(sim.fake.tray.icons.empty()) << "the icon is gone";
}

TEST_F(DispatchTest, EveryCommandInEveryStateEndsInTheMenusTransitions) {
  // Each state is reached afresh, the command given, and the answer and the state after it read:
  // a row gives, for /pause, /pause N (`minutes`), /resume, /start and /stop, the state after it
  // (none: refused, and the cycle stays `at`).
  const CycleState kStopped = CycleState::kStopped, kCounting = CycleState::kCounting,
                   kPaused = CycleState::kPaused, kUntil = CycleState::kPausedUntil,
                   kRest = CycleState::kResting, kFlashing = CycleState::kFlashing;
  const struct {
    std::string state;
    CycleState at;
    int minutes;
    std::optional<CycleState> after[5];
  } rows[] = {
      {"stopped", kStopped, 5, {{}, {}, kStopped, kCounting, kStopped}},
      {"counting", kCounting, 5, {kPaused, kUntil, kCounting, kCounting, kStopped}},
      {"paused", kPaused, 5, {kPaused, kUntil, kCounting, kCounting, kStopped}},
      {"until", kUntil, 90, {kPaused, kUntil, kCounting, kCounting, kStopped}},
      {"resting", kRest, 5, {{}, {}, kRest, kRest, kStopped}},
      {"flashing", kFlashing, 5, {kPaused, kUntil, kFlashing, kCounting, kStopped}},
  };
  // Monday 09:00 UTC: within the usual working hours, unless the day is made a day off.
  const Values resting =
      Planted("WorkingHoursEnabled=1 WorkingHours=Mon=;Tue=09:00-17:00;Wed=;Thu=;Fri=;Sat=;Sun=");
  for (const auto& row : rows) {
    const Command commands[] = {Command{Verb::kPause}, Command{Verb::kPause, row.minutes},
                                Command{Verb::kResume}, Command{Verb::kStart},
                                Command{Verb::kStop}};
    for (int i = 0; i < 5; ++i) {
      Sim s;
      Plant(s, {{{"Hours", "0"}, {"Minutes", "1"}, {"AlertMeBy", "1"}, {"BalloonTipsEnabled", "0"}},
                row.state == "resting" ? resting : Values{}});
      s.Start();
      if (row.state != "stopped") s.Click("frmTimer", "mnuStart");
      if (row.state == "paused") s.Click("frmTimer", "mnuPause");
      if (row.state == "until") s.Click("frmTimer", "mnuPause30");
      if (row.state == "flashing") s.AdvanceSeconds(61);
      ASSERT_EQ(s.app().cycle.state(), row.at) << row.state;
      Reply r, status;
      s.Do([&] { r = DispatchCommand(s.app(), commands[i]); });
      const std::string what = row.state + " " + EncodeCommand(commands[i]);
      EXPECT_EQ(r.code, row.after[i] ? kExitDone : kExitRefused) << what << ": " << r.line;
      EXPECT_EQ(s.app().cycle.state(), row.after[i].value_or(row.at)) << what;
      // The answer says where the cycle stands now.
      s.Do([&] { status = DispatchCommand(s.app(), {Verb::kStatus}); });
      if (row.after[i]) {
        EXPECT_EQ(r.line, status.line) << what;
      }
    }
  }
}

TEST_F(DispatchTest, BreakShortStartsAShortBreakAtOnceAndStatusCountsItDown) {
  Plant(Planted("Hours=0 Minutes=30 Seconds=0 ShortBreaks=1 ShortBreakSeconds=20"));
  sim.Start();
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Status(), "0 counting 00:29:50");
  const Reply r = Send(Verb::kShortBreak);
  EXPECT_EQ(std::tuple(r.code, r.line), std::tuple(kExitDone, std::string("short break")));
  EXPECT_FALSE(r.then) << "nothing waits for the answer";
  EXPECT_TRUE(sim.app().cycle.Snapshot().shortBreakOn);
  EXPECT_EQ(Status(), "0 short break 0:20");
  sim.AdvanceSeconds(5);
  EXPECT_EQ(Status(), "0 short break 0:15");
  // The work countdown went on under it; once it is over, /status says so again.
  sim.AdvanceSeconds(16);
  EXPECT_FALSE(sim.app().cycle.Snapshot().shortBreakOn);
  EXPECT_EQ(Status(), "0 counting 00:29:29");
}

TEST_F(DispatchTest, BreakShortIsRefusedInTheLongBreakItsQuestionAndItsAlert) {
  // Each state reached afresh, then /break short: the code and the line, and whether a short break
  // runs after it.
  const struct {
    const char* state;
    const char* settings;
    std::function<void(Sim&)> reach;
    const char* answer;
  } rows[] = {
      {"stopped", "", [](Sim&) {}, "0 short break"},
      {"counting", "", [](Sim& s) { s.Click("frmTimer", "cmdStart"); }, "0 short break"},
      {"paused", "",
       [](Sim& s) { s.Click("frmTimer", "cmdStart"), s.Click("frmTimer", "cmdPause"); },
       "0 short break"},
      {"flashing", "AlertMeBy=1 BalloonTipsEnabled=0",
       [](Sim& s) { s.Click("frmTimer", "cmdStart"), s.AdvanceSeconds(61); },
       "4 Unwindle cannot take a short break now: the time for a break is up."},
      {"prompt", "", [](Sim& s) { s.Click("frmTimer", "cmdStart"), s.AdvanceSeconds(61); },
       "4 Unwindle cannot do that now: the break prompt waits for an answer."},
      {"break", "",
       [](Sim& s) {
         s.Click("frmTimer", "cmdStart"), s.AdvanceSeconds(61);
         s.Click("frmUnwindle", "cmdUnwindle");
       },
       "4 Unwindle cannot do that now: a break is on."},
      {"break over", "BreakMinutes=0 BreakSeconds=10",
       [](Sim& s) {
         s.Click("frmTimer", "cmdStart"), s.AdvanceSeconds(61);
         s.Click("frmUnwindle", "cmdUnwindle"), s.AdvanceSeconds(11);
       },
       "4 Unwindle cannot do that now: the prompt after the break waits for an answer."},
  };
  for (const auto& row : rows) {
    Sim s;
    Plant(s, {Planted("Hours=0 Minutes=1 Seconds=0 ShortBreaks=1"), Planted(row.settings)});
    s.Start();
    row.reach(s);
    Reply r;
    s.Do([&] { r = DispatchCommand(s.app(), {Verb::kShortBreak}); });
    EXPECT_EQ(std::to_string(r.code) + " " + r.line, row.answer) << row.state;
    EXPECT_EQ(s.app().cycle.Snapshot().shortBreakOn, r.code == kExitDone) << row.state;
  }
}

TEST_F(DispatchTest, BreakOpensTheBreakWindowOnceTheAnswerIsOut) {
  Start();
  const Reply r = Send(Verb::kBreak);
  EXPECT_EQ(r.code, kExitDone);
  ASSERT_TRUE(r.then);
  EXPECT_FALSE(sim.FindForm("frmBreakTimeRemaining"));
  sim.Do(r.then);
  EXPECT_TRUE(sim.FindForm("frmBreakTimeRemaining"));
  EXPECT_EQ(Status(), "0 break 00:10:00");
  EXPECT_EQ(Send(Verb::kStop).code, kExitRefused) << "a break is on";
}

}  // namespace
}  // namespace unw
