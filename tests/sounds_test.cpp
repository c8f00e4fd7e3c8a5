// Which sound plays for each choice, and the fallbacks when it cannot.
#include <gtest/gtest.h>

#include <optional>

#include "alerts/sounds.h"
#include "platform/sound.h"
#include "program_fixture.h"

namespace unw {
namespace {

class SoundTest : public ProgramTest {
 protected:
  void Run(const std::map<std::string, std::string>& settings) {
    Plant(settings);
    sim.Start();
    Play();
  }
  FakeSoundPlayer& sound() { return sim.fake.sound; }
  void Play(int16_t reminders = 0) {
    sim.Do([this, reminders] { sim.app().sounds.PlayAlertSound(reminders); });
  }
};

TEST_F(SoundTest, TheSelectedClipPlaysFromTheProgramsResources) {
  Run({{"AudioType", "2"}, {"SelectedSound", "12"}});
  ASSERT_EQ(sound().played.size(), 1u);
  EXPECT_EQ(sound().played[0].name, "PHONE");
  EXPECT_EQ(sound().played[0].flags, 0x42007u);
  EXPECT_TRUE(sound().beeps.empty());
}

TEST_F(SoundTest, AMissingClipFallsBackToTheBeep) {
  sound().resources.erase("CHIMES");
  Run({{"AudioType", "2"}, {"SelectedSound", "1"}});
  EXPECT_EQ(sound().beeps, (std::vector<uint32_t>{kMbIconAsterisk}));
}

TEST_F(SoundTest, AnUnknownClipIndexBeepsWithoutTryingToPlay) {
  Plant({{"AudioType", "2"}});
  sim.Start();
  sim.Do([this] { sim.app().settings.SelectedSound = 15; });
  Play();
  EXPECT_TRUE(sound().played.empty());
  EXPECT_EQ(sound().beeps.size(), 1u);
}

TEST_F(SoundTest, ACustomFileThatCannotPlayFallsBackToTheBeep) {
  const std::string wave = FakeSoundPlayer::Wave();
  std::string otherFormat = wave;
  otherFormat[20] = '\x99';  // a format tag the system does not know
  struct Case {
    const char* what;
    std::optional<std::string> contents;  // none: no such file
    bool plays;
  } cases[] = {{"a wave file", wave, true},
               {"a missing file", std::nullopt, false},
               {"an empty file", "", false},
               {"a file cut after its header", wave.substr(0, 44), false},
               {"a text file", "not a sound at all", false},
               {"another RIFF file", "RIFF\x04\0\0\0AVI ", false},
               {"an unknown encoding", otherFormat, false}};
  Run({{"AudioType", "3"}, {"CustomSound", "  C:\\Sounds\\gong.wav "}});
  for (const Case& c : cases) {
    sound().files.erase("C:\\Sounds\\gong.wav");
    if (c.contents) sound().files["C:\\Sounds\\gong.wav"] = *c.contents;
    sound().played.clear();
    sound().beeps.clear();
    Play();
    EXPECT_EQ(sound().played.size(), c.plays ? 1u : 0u) << c.what;
    EXPECT_EQ(sound().beeps.size(), c.plays ? 0u : 1u) << c.what << ": the beep instead";
  }
  // The played file is the trimmed name; a blank name is never tried.
  sound().files["C:\\Sounds\\gong.wav"] = wave;
  Play();
  EXPECT_EQ(sound().played.back().name, "C:\\Sounds\\gong.wav");
  EXPECT_EQ(sound().played.back().flags, 0x22003u);
  EXPECT_TRUE(sound().played.back().audible);
  sim.Do([this] { sim.app().settings.CustomSound = "   "; });
  Play();
  EXPECT_EQ(sound().played.size(), 1u);
}

TEST_F(SoundTest, NoSoundsAndUnknownKindsAreSilent) {
  Run({{"AudioType", "0"}});
  for (int16_t kind : {4, -1}) {
    sim.Do([this, kind] { sim.app().settings.AudioType = kind; });
    Play();
  }
  EXPECT_TRUE(sound().played.empty());
  EXPECT_TRUE(sound().beeps.empty());
}

TEST_F(SoundTest, WindowsSoundsBeepByTheReminderCount) {
  Run({{"AudioType", "1"}, {"NumberOfSnooze", "3"}});
  sound().beeps.clear();
  for (int16_t count : {0, 1, 2, 3, 4}) Play(count);
  EXPECT_EQ(sound().beeps,
            (std::vector<uint32_t>{kMbIconAsterisk, kMbIconAsterisk, kMbIconExclamationBeep,
                                   kMbIconHand, kMbIconHand}));
}

TEST(BeepKind, NoLimitAlwaysAsterisksAndZeroLimitStartsAtTheHand) {
  for (int16_t c : {0, 5, 98, 200}) EXPECT_EQ(BeepKind(99, c), kMbIconAsterisk);
  EXPECT_EQ(BeepKind(0, 0), kMbIconHand);
  EXPECT_EQ(BeepKind(1, 0), kMbIconExclamationBeep);
}

TEST_F(SoundTest, TheBreakOverAnnouncementFallsBackToTheQuestionBeep) {
  Plant({{"AudioType", "3"}, {"CustomSound", "   "}});
  sim.Start();
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  ASSERT_TRUE(sim.FindForm("frmRestartTimer"));
  EXPECT_EQ(sound().beeps, (std::vector<uint32_t>{kMbIconQuestionBeep}));
}

}  // namespace
}  // namespace unw
