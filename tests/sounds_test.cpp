// Which sound plays for each choice, and the fallbacks when it cannot.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(SoundTest, EachKindPlaysItsSoundOrFallsBackToTheBeepOrSilence) {
  struct Case {
    int16_t audioType, selected;
    bool chimesThere;
    const char* played;  // the clip played, or none
    size_t beeps;
  } cases[] = {{2, 12, true, "PHONE", 0},  // the resource of a built-in clip
               {2, 1, false, nullptr, 1},  // a clip that is not there (tried): the beep
               {2, 15, true, nullptr, 1},  // no such clip: the beep, nothing tried
               {1, 1, true, nullptr, 1},   // Windows sounds
               {0, 1, true, nullptr, 0},   // no sounds
               {4, 1, true, nullptr, 0},   // an unknown kind: silence
               {-1, 1, true, nullptr, 0}};
  Plant({});
  sim.Start();
  for (const Case& c : cases) {
    sound().played.clear();
    sound().beeps.clear();
    if (!c.chimesThere) sound().resources.erase("CHIMES");
    sim.Do([&] {
      sim.app().settings.AudioType = c.audioType;
      sim.app().settings.SelectedSound = c.selected;
    });
    Play();
    const auto heard = std::count_if(sound().played.begin(), sound().played.end(),
                                     [](const auto& p) { return p.audible; });
    EXPECT_EQ(heard, c.played ? 1 : 0) << c.audioType << " " << c.selected;
    if (c.played) EXPECT_EQ(sound().played[0].name, c.played);
    EXPECT_EQ(sound().beeps.size(), c.beeps) << c.audioType << " " << c.selected;
    sound().resources.insert("CHIMES");
  }
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
  EXPECT_TRUE(sound().played.back().audible);
  sim.Do([this] { sim.app().settings.CustomSound = "   "; });
  Play();
  EXPECT_EQ(sound().played.size(), 1u);
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
