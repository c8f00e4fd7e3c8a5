// The Linux shell, sounds, languages and calendar: the contracts the other back ends keep, and
// what is Linux's own: programs found on the PATH and handed their arguments as they are, waves
// that reach the ALSA device sample for sample and end with a stop, reads that never wait on a
// FIFO, the locale variables in gettext's order, the time zone's gaps and overlaps.
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <filesystem>
#include <thread>

#include "alerts/clip_pack.h"
#include "backends/qt/calendar_linux.h"
#include "backends/qt/languages_linux.h"
#include "backends/qt/shell_linux.h"
#include "backends/qt/sound_linux.h"
#include "linux_test_folder.h"
#include "shell_contract.h"
#include "sound_contract.h"

namespace unw {
namespace {

// Waits in the Qt loop, at most `ms`, until `done` holds (a real process or device takes its time).
bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

// A stand-in for a desktop's program: writes the arguments it was given, one a line, to `out`.
void PlaceProgram(const std::string& path, const std::string& out) {
  TestFolder::Place(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + out +
                              ".part\"\n/bin/mv \"" + out + ".part\" \"" + out + "\"\n");
  chmod(path.c_str(), 0755);
}

// The PATH holds only a folder of the test's own while it lives.
struct OwnPath {
  OwnPath() : was(getenv("PATH") ? getenv("PATH") : "") {
    setenv("PATH", (folder.root() + "/bin").c_str(), 1);
  }
  ~OwnPath() { setenv("PATH", was.c_str(), 1); }
  TestFolder folder;
  std::string was;
};

struct LinuxShellFixture : ::testing::Test {
  Shell& shell() { return linuxShell; }
  // Opened by a stand-in, never by a browser of the machine's.
  std::string PageToOpen() {
    PlaceProgram(path.folder.root() + "/bin/xdg-open", path.folder.root() + "/opened");
    return "https://example.org/";
  }
  OwnPath path;
  Trace trace{nullptr, ""};
  LinuxShell linuxShell{trace};
};

using ShellBackends = ::testing::Types<LinuxShellFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, ShellContract, ShellBackends);

TEST(LinuxShellTest, ThePageAndTheInformationToolGetTheirArgumentsAsTheyAre) {
  OwnPath path;
  const std::string bin = path.folder.root() + "/bin", out = path.folder.root() + "/args";
  Trace trace{nullptr, ""};
  LinuxShell shell(trace, {{"no-such-tool"}, {"info-tool", "--page", "about me"}});
  EXPECT_FALSE(shell.HasSystemInformation() || shell.OpenSystemInformation()) << "none on the PATH";
  PlaceProgram(bin + "/xdg-open", out);
  const std::string page = "https://example.org/a b?q=\"x\"&y=$(touch z);\xC3\xBC";
  ASSERT_TRUE(shell.OpenWebPage(0, page));
  ASSERT_TRUE(WaitFor([&] { return access(out.c_str(), F_OK) == 0; }));
  EXPECT_EQ(TestFolder::Content(out), page + "\n");
  unlink(out.c_str());
  PlaceProgram(bin + "/info-tool", out);
  EXPECT_TRUE(shell.HasSystemInformation());
  ASSERT_TRUE(shell.OpenSystemInformation());
  ASSERT_TRUE(WaitFor([&] { return access(out.c_str(), F_OK) == 0; }));
  EXPECT_EQ(TestFolder::Content(out), "--page\nabout me\n");
}

// The player's loop() is only handed back; nothing of it runs here.
struct NoLoop : EventLoop {
  int64_t NowMs() override { return 0; }
  void StartTimer(TimerTarget&, uint32_t) override {}
  void StopTimer(TimerTarget&) override {}
  void After(uint32_t, std::function<void()>) override {}
  void RunUntil(const std::function<bool()>&) override {}
  void ProcessPendingEvents() override {}
};

struct LinuxSoundFixture : ::testing::Test {
  SoundPlayer& player() { return alsa; }
  std::string KnownClip() { return "CHIMES"; }
  Trace trace{nullptr, ""};
  NoLoop loop;
  // ALSA's null device: it takes every sample and plays none, on any machine.
  LinuxSoundPlayer alsa{trace, loop, "null"};
};

using SoundBackends = ::testing::Types<LinuxSoundFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, SoundContract, SoundBackends);

// The sound data of the wave file at `path` (its "data" chunk), as far as it was written.
std::string SoundData(const std::string& path) {
  const std::string wave = TestFolder::Content(path);
  const size_t at = wave.find("data");
  return at == std::string::npos ? "" : wave.substr(at + 8);
}

TEST(LinuxSoundTest, AWaveReachesTheDeviceSampleForSampleAndAStopEndsIt) {
  TestFolder folder;
  Trace trace{nullptr, ""};
  NoLoop loop;
  const std::string capture = folder.root() + "/capture.wav";
  LinuxSoundPlayer player(trace, loop, "tee:null,'" + capture + "',wav");
  const std::string clip = UnpackClip(player.ClipBytes("SHORTSTART"));
  ASSERT_EQ(player.PlayWave("SHORTSTART", std::make_shared<const std::string>(clip)), 1);
  ASSERT_TRUE(WaitFor([&] { return player.Quiet(); }));
  const std::string data = SoundData(capture);
  ASSERT_GT(data.size(), 1000u);
  EXPECT_TRUE(clip.find(data) != std::string::npos) << data.size() << " bytes, not the clip's";
  EXPECT_EQ(clip.size() - clip.find(data), data.size()) << "to its last sample";
  // A tone of ten seconds, stopped at once, is quiet at once (the file takes samples faster than
  // a card, so how much of it was written says nothing).
  ASSERT_EQ(player.PlayWave("long", std::make_shared<const std::string>(ToneWave(440, 10000, 1))),
            1);
  player.Stop();
  EXPECT_TRUE(WaitFor([&] { return player.Quiet(); }, 1000));
  // Beeps are tones of their own: each kind sounds.
  EXPECT_TRUE(player.PlayBeep(Beep::kError));
  ASSERT_TRUE(WaitFor([&] { return player.Quiet(); }));
  EXPECT_GT(SoundData(capture).size(), 22050u / 10 * 2);
}

TEST(LinuxSoundTest, AFileIsReadAwayFromTheProgramAndAFifoIsNeverWaitedFor) {
  TestFolder folder;
  Trace trace{nullptr, ""};
  NoLoop loop;
  LinuxSoundPlayer player(trace, loop, "null");
  TestFolder::Place(folder.root() + "/bell \xC3\xBC.wav", "RIFF and the rest of it");
  mkfifo((folder.root() + "/fifo.wav").c_str(), 0600);
  const struct {
    std::string path;
    size_t most;
    bool ok;
    std::string bytes;
  } reads[] = {
      {folder.root() + "/bell \xC3\xBC.wav", 4, true, "RIFF"},
      {folder.root() + "/bell \xC3\xBC.wav", 1000, true, "RIFF and the rest of it"},
      {folder.root() + "/fifo.wav", 1000, false, ""},
      {folder.root(), 1000, false, ""},
      {folder.root() + "/missing.wav", 1000, false, ""},
  };
  int answered = 0;
  const auto thread = std::this_thread::get_id();
  for (const auto& r : reads) {
    player.ReadFileAsync(r.path, r.most, [&, r](bool ok, std::string bytes) {
      EXPECT_EQ(std::this_thread::get_id(), thread) << "on the program's thread";
      EXPECT_EQ(ok, r.ok) << r.path;
      EXPECT_EQ(bytes, r.bytes) << r.path;
      ++answered;
    });
  }
  EXPECT_EQ(answered, 0) << "never from inside the call";
  EXPECT_TRUE(WaitFor([&] { return answered == 5; }));
}

TEST(LinuxLanguagesTest, TheVariablesCountInGettextsOrder) {
  const struct {
    const char *language, *lcAll, *lcMessages, *lang;
    std::vector<std::string> tags;
  } cases[] = {
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", {"de-DE"}},
      {nullptr, nullptr, "fr_CA.UTF-8", "de_DE.UTF-8", {"fr-CA"}},
      {nullptr, "pt_BR.UTF-8@latin", "fr_CA.UTF-8", "de_DE.UTF-8", {"pt-BR"}},
      {"ja:de_AT:ja", "", "", "en_US.UTF-8", {"ja", "de-AT", "en-US"}},
      {"ja:de", nullptr, nullptr, "C.UTF-8", {}},  // under the C locale, the program's English
      {"ja", "POSIX", nullptr, "de_DE", {}},
      {nullptr, nullptr, nullptr, nullptr, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LanguagesFromEnvironment(c.language, c.lcAll, c.lcMessages, c.lang), c.tags)
        << (c.language ? c.language : "-") << " " << (c.lang ? c.lang : "-");
  Trace trace{nullptr, ""};
  EXPECT_FALSE(LinuxLanguages(trace).Catalogues().empty()) << "the build's catalogues are carried";
}

// The process's time zone for as long as it lives.
struct TimeZone {
  explicit TimeZone(const char* zone) : was(getenv("TZ") ? getenv("TZ") : "") {
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    was.empty() ? unsetenv("TZ") : setenv("TZ", was.c_str(), 1);
    tzset();
  }
  std::string was;
};

TEST(LinuxCalendarTest, LocalTimeFollowsTheZonesGapsAndOverlaps) {
  TimeZone berlin("Europe/Berlin");
  LinuxCalendar calendar;
  auto utc = [](int y, int mo, int d, int h, int mi) {
    return (DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60) * 1000LL;
  };
  const struct {
    LocalTime local;
    int64_t moment;
    const char* why;
  } cases[] = {
      {{2026, 1, 15, 12, 0, 0}, utc(2026, 1, 15, 11, 0), "winter: UTC+1"},
      {{2026, 7, 15, 12, 0, 0}, utc(2026, 7, 15, 10, 0), "summer: UTC+2"},
      {{2026, 3, 29, 2, 30, 0}, utc(2026, 3, 29, 1, 0), "skipped: the moment the gap ends"},
      {{2026, 10, 25, 2, 30, 0}, utc(2026, 10, 25, 0, 30), "twice: the first time"},
  };
  for (const auto& c : cases) EXPECT_EQ(calendar.FromLocal(c.local), c.moment) << c.why;
  const LocalTime summer = calendar.ToLocal(utc(2026, 7, 15, 10, 0));
  EXPECT_EQ(summer.hour, 12);
  EXPECT_EQ(summer.offsetMinutes, 120);
  EXPECT_EQ(summer.weekday, 2) << "a Wednesday";
  EXPECT_EQ(calendar.ToLocal(utc(2026, 10, 25, 1, 30)).hour, 2) << "the second 2:30";
  const int64_t now = calendar.UtcMs();
  EXPECT_LT(std::abs(now - static_cast<int64_t>(time(nullptr)) * 1000), 2000);
}

TEST(LinuxCalendarTest, TheDayAndMonthKeepTheShortDatesOrderWithoutItsYear) {
  const struct {
    const char *shortDate, *dayMonth;
  } cases[] = {
      {"dd.MM.yy", "dd.MM"},         {"M/d/yy", "M/d"},        {"yyyy/MM/dd", "MM/dd"},
      {"dd/MM/yyyy", "dd/MM"},       {"yyyy-MM-dd", "MM-dd"},  {"d.M.yyyy 'г.'", "d.M"},
      {"dddd, d MMM yyyy", "d MMM"}, {"y. MM. dd.", "MM. dd"}, {"", "d/M"},
  };
  for (const auto& c : cases) EXPECT_EQ(DayMonthPattern(c.shortDate), c.dayMonth) << c.shortDate;
  LinuxCalendar calendar;
  EXPECT_NE(calendar.ShortDayMonth(2, 29).find("29"), std::string::npos) << "a leap day has a date";
  EXPECT_NE(calendar.ShortTime(14, 5).find("05"), std::string::npos);
}

}  // namespace
}  // namespace unw
