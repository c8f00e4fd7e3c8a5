// What every back end of the session's one program must do: one claim per session, a second start
// that reaches the running program, a command answered on the program's own thread with exactly
// the bytes sent, an answer the sender does not take, nobody running. Each back end's test
// instantiates this suite with a fixture whose copies of the program behave to each other as
// separate processes of one session do.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/program_instance.h"
#include "platform/trace.h"

namespace unw {

// A fixture provides: std::unique_ptr<ProgramInstance> NewCopy() (another copy of the program in
// the session); void OnProgram(std::function<void()>) (runs on the running program's thread and
// returns once done: that copy's Claim, Serve and end happen there); void Settle() (lets the
// program's loop run what was handed to it); bool RequestExit() (what the installer does).
template <typename Fixture>
class ProgramInstanceContract : public Fixture {
 protected:
  // What the running program is asked, and on which thread.
  struct Recorder : InstanceRequests {
    bool Activate() override { return Note("activate"); }
    bool Exit() override { return Note("exit"); }
    std::string Answer(std::string_view bytes) override {
      Note("command " + std::string(bytes));
      return answer(bytes);
    }
    bool Note(const std::string& what) {
      calls.push_back(what);
      onThread.push_back(std::this_thread::get_id() == thread);
      return true;
    }
    std::function<std::string(std::string_view)> answer = [](std::string_view bytes) {
      return "did " + std::string(bytes);
    };
    std::vector<std::string> calls;
    std::vector<bool> onThread;
    std::thread::id thread;
  };

  // Starts the running program: a copy that claims the session and serves `requests`.
  void StartProgram() {
    this->OnProgram([this] {
      requests.thread = std::this_thread::get_id();
      program = this->NewCopy();
      claimed = program->Claim(true);
      program->Serve(requests, trace);
    });
  }
  // Ends it, on its own thread.
  void EndProgram() {
    this->OnProgram([this] { program.reset(); });
  }
  std::vector<std::string> Calls() {
    this->Settle();
    std::vector<std::string> calls;
    this->OnProgram([&] { calls = std::exchange(requests.calls, {}); });
    return calls;
  }
  static bool Any(std::string_view) { return true; }

  Trace trace{nullptr, ""};
  Recorder requests;
  std::unique_ptr<ProgramInstance> program;
  bool claimed = false;
};

TYPED_TEST_SUITE_P(ProgramInstanceContract);

TYPED_TEST_P(ProgramInstanceContract, OneCopyPerSessionHoldsTheClaimUntilItGoes) {
  this->StartProgram();
  EXPECT_TRUE(this->claimed);
  auto second = this->NewCopy();
  EXPECT_FALSE(second->Claim(false));
  EXPECT_FALSE(second->Claim(false)) << "asking again changes nothing";
  this->EndProgram();
  auto third = this->NewCopy();
  EXPECT_TRUE(third->Claim(false)) << "the program that held it is gone";
}

TYPED_TEST_P(ProgramInstanceContract, ASecondStartReachesTheRunningProgramFromItsLoop) {
  this->StartProgram();
  auto second = this->NewCopy();
  EXPECT_FALSE(second->Claim(false));
  EXPECT_TRUE(this->Calls().empty()) << "a start with a command brings nothing forward";
  EXPECT_FALSE(second->Claim(true));
  EXPECT_EQ(this->Calls(), std::vector<std::string>{"activate"});
  EXPECT_TRUE(this->RequestExit());
  EXPECT_EQ(this->Calls(), std::vector<std::string>{"exit"});
  for (bool onThread : this->requests.onThread) EXPECT_TRUE(onThread);
  this->EndProgram();
}

TYPED_TEST_P(ProgramInstanceContract, ACommandIsAnsweredOnTheProgramsThreadWithTheBytesSent) {
  this->StartProgram();
  auto sender = this->NewCopy();
  const std::string sent[] = {"/pause 30", std::string("/st\0tus", 7), "", "\xff\xfe"};
  for (const std::string& bytes : sent) {
    const Delivered got = sender->Send(bytes, {0, 5000}, this->Any);
    EXPECT_EQ(got.delivery, Delivery::kAnswered);
    EXPECT_EQ(got.answer, "did " + bytes);
  }
  std::vector<std::string> want;
  for (const std::string& bytes : sent) want.push_back("command " + bytes);
  EXPECT_EQ(this->Calls(), want);
  for (bool onThread : this->requests.onThread) EXPECT_TRUE(onThread);
  // The answer comes back as it was given, whatever its bytes.
  this->OnProgram(
      [this] { this->requests.answer = [](std::string_view) { return "0 \xe2\x9c\x93"; }; });
  EXPECT_EQ(sender->Send("/status", {0, 5000}, this->Any).answer, "0 \xe2\x9c\x93");
  this->EndProgram();
}

TYPED_TEST_P(ProgramInstanceContract, AnAnswerTheSenderDoesNotTakeIsNoAnswer) {
  this->StartProgram();
  auto sender = this->NewCopy();
  const Delivered got =
      sender->Send("/status", {0, 2000}, [](std::string_view a) { return a.starts_with("0 "); });
  EXPECT_EQ(got.delivery, Delivery::kNoAnswer);
  EXPECT_EQ(got.answer, "");
  EXPECT_EQ(this->Calls(), std::vector<std::string>{"command /status"}) << "it was asked";
  this->EndProgram();
}

TYPED_TEST_P(ProgramInstanceContract, WithNoProgramRunningNobodyIsReached) {
  auto sender = this->NewCopy();
  const int64_t t0 = sender->NowMs();
  EXPECT_EQ(sender->Send("/status", {5000, 5000}, this->Any).delivery, Delivery::kNotRunning);
  EXPECT_LT(sender->NowMs() - t0, 1000) << "nobody holds the claim: known at once";
  this->StartProgram();
  EXPECT_EQ(sender->Send("/status", {0, 5000}, this->Any).delivery, Delivery::kAnswered);
  this->EndProgram();
  EXPECT_EQ(sender->Send("/status", {5000, 5000}, this->Any).delivery, Delivery::kNotRunning);
  EXPECT_EQ(this->requests.calls, std::vector<std::string>{"command /status"});
}

REGISTER_TYPED_TEST_SUITE_P(ProgramInstanceContract, OneCopyPerSessionHoldsTheClaimUntilItGoes,
                            ASecondStartReachesTheRunningProgramFromItsLoop,
                            ACommandIsAnsweredOnTheProgramsThreadWithTheBytesSent,
                            AnAnswerTheSenderDoesNotTakeIsNoAnswer,
                            WithNoProgramRunningNobodyIsReached);

}  // namespace unw
