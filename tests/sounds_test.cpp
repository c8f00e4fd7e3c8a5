// Which sound plays for each choice, and the fallbacks when it cannot.
#include <gtest/gtest.h>

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

TEST_F(SoundTest, TheCustomFilePlaysTrimmedAndFallsBackWhenBlankOrGone) {
  sound().files.insert("C:\\Sounds\\gong.wav");
  Run({{"AudioType", "3"}, {"CustomSound", "  C:\\Sounds\\gong.wav "}});
  ASSERT_EQ(sound().played.size(), 1u);
  EXPECT_EQ(sound().played[0].name, "C:\\Sounds\\gong.wav");
  EXPECT_EQ(sound().played[0].flags, 0x22003u);
  EXPECT_TRUE(sound().beeps.empty());

  sound().files.clear();  // deleted meanwhile
  Play();
  EXPECT_EQ(sound().beeps.size(), 1u);

  sim.Do([this] { sim.app().settings.CustomSound = "   "; });
  Play();
  EXPECT_EQ(sound().played.size(), 2u) << "a blank name is never played";
  EXPECT_EQ(sound().beeps.size(), 2u);
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
