// Which sound plays for each choice, and the fallbacks when it cannot; a sound file that is slow,
// never answers or names a device never holds the program up.
#include <gtest/gtest.h>

#include <optional>

#include "alerts/sounds.h"
#include "alerts/wave_file.h"
#include "platform/sound.h"
#include "program_fixture.h"

namespace unw {
namespace {

class SoundTest : public ProgramTest {
 protected:
  void Run(const std::map<std::string, std::string>& settings) {
    Start(settings);
    Play();
  }
  FakeSoundPlayer& sound() { return sim.fake.sound; }
  void Play(int16_t reminders = 0) {
    sim.Do([this, reminders] { sim.app().sounds.PlayAlertSound(reminders); });
  }
  void Clear() {
    sound().played.clear();
    sound().beeps.clear();
  }
  // The trace's sound.unplayable lines, their fields joined by spaces.
  std::vector<std::string> Unplayable() {
    std::vector<std::string> out;
    for (const std::string& line : sim.fake.trace.lines()) {
      const size_t at = line.find("\tsound.unplayable\t");
      if (at == std::string::npos) continue;
      std::string fields;
      for (size_t i = at + 18; i < line.size(); ++i) {
        const bool escaped = line[i] == '\\' && i + 1 < line.size();
        fields += escaped ? line[++i] : line[i] == '\t' ? ' ' : line[i];
      }
      out.push_back(fields);
    }
    return out;
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
  Start();
  const auto carried = sound().clips;
  for (const Case& c : cases) {
    Clear();
    if (!c.chimesThere) sound().clips.erase("CHIMES");
    sim.Do([&] {
      sim.app().settings.AudioType = c.audioType;
      sim.app().settings.SelectedSound = c.selected;
    });
    Play();
    EXPECT_EQ(Heard(), c.played ? 1u : 0u) << c.audioType << " " << c.selected;
    if (c.played) {
      EXPECT_EQ(sound().played[0].name, c.played);
      EXPECT_EQ(sound().played[0].what, FakeSoundPlayer::What::kWave) << "the clip's wave";
    }
    EXPECT_EQ(sound().beeps.size(), c.beeps) << c.audioType << " " << c.selected;
    sound().clips = carried;
  }
}

// A short break's soft cues are clips of their own, whatever the alerts' sound is; one that is not
// there is silence, never a beep in its place.
TEST_F(SoundTest, AShortBreaksStartAndEndAskForTheirOwnClipsWhateverTheAlertsSound) {
  Start();
  const auto carried = sound().clips;
  for (int16_t audioType : {0, 1, 2, 3}) {
    for (bool there : {true, false}) {
      for (const auto& [starts, clip] : {std::pair{true, "SHORTSTART"}, {false, "SHORTEND"}}) {
        const std::string what = std::to_string(audioType) + (there ? " " : " missing ") + clip;
        Clear();
        if (!there) sound().clips.erase(clip);
        sim.Do([&, starts = starts] {
          sim.app().settings.AudioType = audioType;
          sim.app().sounds.PlayShortBreakSound(starts);
        });
        // A clip the program does not carry has nothing to play.
        ASSERT_EQ(sound().played.size(), there ? 1u : 0u) << what;
        if (there) {
          EXPECT_EQ(sound().played[0].name, clip) << what;
          EXPECT_EQ(sound().played[0].what, FakeSoundPlayer::What::kWave) << what;
        }
        EXPECT_EQ(Heard(), there ? 1u : 0u) << what;
        EXPECT_TRUE(sound().beeps.empty()) << what;
        sound().clips = carried;
      }
    }
  }
}

// Each file is planted with what the real system does with it; the program must agree: a file the
// system plays is heard and nothing else, one it does not play gives the beep and is not played.
TEST_F(SoundTest, ACustomFileThatCannotPlayFallsBackToTheBeep) {
  const std::string wave = FakeSoundPlayer::Wave();
  std::string otherFormat = wave;
  otherFormat[20] = '\x99';  // a format tag the system does not know
  struct Case {
    const char* what;
    std::optional<std::string> contents;  // none: no such file
    bool plays;                           // what the system does with it
    const char* reason;                   // in the trace when it does not
  } cases[] = {{"a wave file", wave, true, ""},
               {"a missing file", std::nullopt, false, "unreadable"},
               {"an empty file", "", false, "format"},
               {"a file cut after its header", wave.substr(0, 44), false, "format"},
               {"a text file", "not a sound at all", false, "format"},
               {"another RIFF file", std::string("RIFF\x04\0\0\0AVI ", 12), false, "format"},
               {"an unknown encoding", otherFormat, false, "format"}};
  Run({{"AudioType", "3"}});
  int n = 0;
  for (const Case& c : cases) {
    // A file of its own each: the wave of one that played is kept by its path.
    const std::string path = "C:\\Sounds\\case" + std::to_string(++n) + ".wav";
    if (c.contents) sound().files[path] = {*c.contents, c.plays};
    sim.Do([&] { sim.app().settings.CustomSound = "  " + path + " "; });
    Clear();
    const size_t unplayable = Unplayable().size();
    Play();
    EXPECT_EQ(Heard(), c.plays ? 1u : 0u) << c.what;
    EXPECT_EQ(sound().played.size(), c.plays ? 1u : 0u) << c.what << ": not played";
    EXPECT_EQ(sound().beeps.size(), c.plays ? 0u : 1u) << c.what << ": the beep instead";
    if (!c.plays) {
      ASSERT_EQ(Unplayable().size(), unplayable + 1) << c.what;
      EXPECT_EQ(Unplayable().back(), path + " " + c.reason) << c.what;
    }
  }
  // The trimmed name was read; the wave is played from memory, never by its name.
  sim.Do([this] { sim.app().settings.CustomSound = " C:\\Sounds\\case1.wav"; });
  Clear();
  Play();
  ASSERT_EQ(sound().played.size(), 1u);
  EXPECT_EQ(sound().played.back().name, "C:\\Sounds\\case1.wav");
  EXPECT_TRUE(sound().played.back().audible);
  sim.Do([this] { sim.app().settings.CustomSound = "   "; });
  Play();
  EXPECT_EQ(sound().played.size(), 1u) << "a blank name is never tried";
  EXPECT_EQ(sound().beeps.size(), 1u);
}

TEST_F(SoundTest, WindowsSoundsBeepByTheReminderCount) {
  Run({{"AudioType", "1"}, {"NumberOfSnooze", "3"}});
  sound().beeps.clear();
  for (int16_t count : {0, 1, 2, 3, 4}) Play(count);
  EXPECT_EQ(sound().beeps, (std::vector<Beep>{Beep::kInformation, Beep::kInformation,
                                              Beep::kWarning, Beep::kError, Beep::kError}));
}

TEST(AlertBeep, NoLimitAlwaysInformsAndZeroLimitStartsAtTheError) {
  for (int16_t c : {0, 5, 98, 200}) EXPECT_EQ(AlertBeep(99, c), Beep::kInformation);
  EXPECT_EQ(AlertBeep(0, 0), Beep::kError);
  EXPECT_EQ(AlertBeep(1, 0), Beep::kWarning);
}

TEST(DevicePath, DeviceNamespacesAndReservedNamesAreDevicesInEveryForm) {
  using namespace std::string_literals;
  const std::string devices[] = {
      // the device namespaces
      "\\\\.\\COM1", "\\\\.\\pipe\\unwindle", "//./COM1", "\\\\.\\C:\\Sounds\\bell.wav",
      "\\\\?\\GLOBALROOT\\Device\\Serial0", "\\\\?\\globalroot\\x.wav", "\\\\?\\COM1",
      "\\\\?\\pipe\\x", "\\??\\C:\\Sounds\\bell.wav",
      // the reserved names, in any case, with an extension, a blank, a dot, a colon
      "CON", "con", "PRN", "AUX", "NUL", "nul.wav", "Aux.wav", "COM1", "com9", "COM0", "LPT1",
      "lpt9.txt.wav", "CONIN$", "conout$.wav", "CLOCK$", "C:\\Sounds\\COM1.wav",
      "C:/Sounds/com1.WAV", "C:\\Sounds\\NUL ", "D:\\x\\con .wav", "D:\\x\\prn.",
      "C:\\x\\COM1:", "C:CON", "C:aux.wav", "\\\\server\\share\\nul.wav", "C:\\x\\COM\xC2\xB9.wav",
      "C:\\x\\lpt\xC2\xB3", "C:\\x\\COM1\0.wav"s, "\\\\.\\COM1\0x"s};
  for (const std::string& device : devices) EXPECT_TRUE(IsDevicePath(device)) << device;
  for (const std::string& file : std::vector<std::string>{
           "", "C:\\Sounds\\bell.wav", "C:\\Sounds\\console.wav", "C:\\Sounds\\COM10.wav",
           "C:\\Sounds\\LPT.wav", "C:\\Sounds\\COM1x.wav", "C:\\Sounds\\auxiliary.wav",
           "C:\\CON\\bell.wav", "C:\\NUL\\COM1\\bell.wav", "\\\\server\\share\\bell.wav",
           "\\\\?\\C:\\Sounds\\bell.wav", "\\\\?\\UNC\\server\\share\\bell.wav",
           "\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\bell.wav", "bell.wav",
           "C:\\\xC3\x9C"
           "bung\\\xE3\x83\x99\xE3\x83\xAB.wav",
           "C:\\x\\COM\xC2\xB4.wav"})
    EXPECT_FALSE(IsDevicePath(file)) << file;
}

TEST(WaveImage, AWaveIsGivenAsItIsAndACutOneWithSizesThatFitWhatIsThere) {
  const std::string wave = FakeSoundPlayer::Wave();
  EXPECT_EQ(WaveImage(wave), wave);
  EXPECT_EQ(WaveImage(wave + "LIST\x04\0\0\0abcd"), wave) << "cut after its sound";
  EXPECT_EQ(WaveImage("not a sound"), "");
  // Its data chunk says 4000 bytes, and 3 are there: the image says 3, padded to an even length.
  std::string cut = wave.substr(0, wave.size() - 1);
  cut[40] = '\xa0';
  cut[41] = '\x0f';
  const std::string image = WaveImage(cut);
  ASSERT_EQ(image.size(), 48u);
  EXPECT_EQ(image.substr(0, 40), wave.substr(0, 40)) << "its RIFF size says 40";
  EXPECT_EQ(image.substr(40, 4), std::string("\x03\0\0\0", 4));
  EXPECT_EQ(image.substr(44), wave.substr(44, 3) + '\0');
}

TEST_F(SoundTest, ADeviceIsNeverOpenedAndTheBeepComesAtOnceAtTheAlertAndAtTheBreaksEnd) {
  Start({{"AudioType", "3"}, {"CustomSound", "\\\\.\\COM1"}});
  Clear();
  Play();
  EXPECT_EQ(sound().beeps.size(), 1u);
  EXPECT_TRUE(sound().reads.empty()) << "never opened";
  EXPECT_EQ(Unplayable(), std::vector<std::string>{"\\\\.\\COM1 device"});
  // The break-over announcement falls back to the question beep.
  sim.Do([this] { sim.app().settings.CustomSound = "C:\\Sounds\\lpt1.wav"; });
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  ASSERT_TRUE(sim.FindForm("frmRestartTimer"));
  EXPECT_EQ(sound().beeps, (std::vector<Beep>{Beep::kInformation, Beep::kQuestion}));
  EXPECT_TRUE(sound().reads.empty());
}

// The alert of a file whose read never ends: the prompt opens on time, the beep stands in at the
// deadline, and no second read starts while the first waits; once the file answers, its sound is
// kept and the next alert plays it at once.
TEST_F(SoundTest, AFileThatNeverAnswersHoldsNothingUp) {
  const std::string path = "\\\\fileserver\\gone\\gong.wav";
  Plant(sim, {Planted("AudioType=3 Hours=0 Seconds=10 StartTimerOnLaunch=1 SnoozeMinutes=0 "
                      "SnoozeSeconds=20"),
              {{"CustomSound", path}}});
  sound().files[path] = {FakeSoundPlayer::Wave(), true, /*answers*/ false};
  sim.Start();
  Clear();
  sim.AdvanceSeconds(11);
  ASSERT_TRUE(Loaded("frmUnwindle")) << "the prompt on time";
  EXPECT_EQ(State(), CycleState::kPrompt);
  EXPECT_TRUE(sound().beeps.empty()) << "not yet";
  sim.Advance(kSoundFileWaitMs - 1);
  EXPECT_TRUE(sound().beeps.empty());
  sim.Advance(1);
  EXPECT_EQ(sound().beeps.size(), 1u) << "the beep at the deadline";
  EXPECT_EQ(Unplayable(), std::vector<std::string>{path + " timeout"});
  EXPECT_TRUE(sound().played.empty());
  // The prompt answers as ever; the reminder's alert waits for the same read.
  sim.Click("frmUnwindle", "cmdRemindLater");
  EXPECT_FALSE(Loaded("frmUnwindle"));
  sim.AdvanceSeconds(22);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  sim.Advance(kSoundFileWaitMs);
  EXPECT_EQ(sound().beeps.size(), 2u);
  EXPECT_EQ(sound().reads, std::vector<std::string>{path}) << "one read at a time";
  EXPECT_EQ(sound().waitingReads(), 1u);
  // The share comes back: the late read keeps the sound, and the next alert plays it at once.
  sound().Answer(path);
  sim.Advance(0);
  EXPECT_TRUE(sound().played.empty()) << "nobody waits for it any more";
  sim.Click("frmUnwindle", "cmdRemindLater");
  sim.AdvanceSeconds(22);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  ASSERT_EQ(sound().played.size(), 1u);
  EXPECT_TRUE(sound().played[0].audible);
  EXPECT_EQ(sound().beeps.size(), 2u);
  EXPECT_EQ(sound().reads.size(), 1u) << "played from memory";
}

// A slow file that comes within the deadline plays when it comes, and then without a wait.
TEST_F(SoundTest, ASlowFilePlaysWhenItComesInTime) {
  const std::string path = "C:\\Sounds\\slow.wav";
  sound().files[path] = {FakeSoundPlayer::Wave(), true, true, /*readMs*/ 300};
  Plant({{"AudioType", "3"}, {"CustomSound", path}});
  sim.Start();
  Clear();
  Play();
  EXPECT_TRUE(sound().played.empty());
  sim.Advance(300);
  EXPECT_EQ(Heard(), 1u);
  sim.Advance(kSoundFileWaitMs);
  EXPECT_TRUE(sound().beeps.empty()) << "no beep after it played";
  Play();
  EXPECT_EQ(Heard(), 2u) << "kept: at once";
  // Read ahead of the first alert (at start-up and when the choice changes).
  const std::string other = "C:\\Sounds\\other.wav";
  sound().files[other] = {FakeSoundPlayer::Wave(), true, true, 300};
  sim.Do([&] {
    sim.app().settings.CustomSound = other;
    sim.app().sounds.PrepareCustomSound();
  });
  sim.Advance(300);
  Clear();
  Play();
  EXPECT_EQ(Heard(), 1u) << "prepared: at once";
}

}  // namespace
}  // namespace unw
