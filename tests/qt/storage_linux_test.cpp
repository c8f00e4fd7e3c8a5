// The program's files, its settings and its start at sign-in on a Linux disk: the same contracts
// as the in-memory fakes and the Windows back end, in folders of the tests' own whose names hold
// characters outside any 8-bit code page; and what is Linux's own: the XDG folders, the INI file
// as a person may have edited it, the desktop entry.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "backends/qt/settings_storage_linux.h"
#include "backends/qt/storage_linux.h"
#include "backends/qt/system_services_linux.h"
#include "linux_test_folder.h"
#include "settings_storage_contract.h"
#include "startup_launch_contract.h"
#include "storage_contract.h"

namespace unw {
namespace {

struct LinuxStorageFixture : ::testing::Test {
  ~LinuxStorageFixture() override { Unlock(); }
  Storage& storage() { return store; }
  std::string Separator() { return "/"; }
  std::string ExportFolder() { return folder.root(); }
  bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
  std::string Content(const std::string& path) { return TestFolder::Content(path); }
  void Place(const std::string& path, const std::string& content) {
    TestFolder::Place(path, content);
  }
  void MakeReadOnly(const std::string& path) { chmod(path.c_str(), 0444); }
  // Held for itself alone, as another program that takes an exclusive lock does.
  void Lock(const std::string& path) {
    locked = open(path.c_str(), O_RDWR);
    ASSERT_GE(locked, 0);
    ASSERT_EQ(flock(locked, LOCK_EX | LOCK_NB), 0);
  }
  void Unlock() {
    if (locked >= 0) close(locked);
    locked = -1;
  }

  TestFolder folder;
  int locked = -1;
  Trace trace{nullptr, ""};
  // "Zoë 山田 🔔": outside every 8-bit code page.
  LinuxStorage store{trace, folder.root() +
                                "/Zo\xC3\xAB \xE5\xB1\xB1\xE7\x94\xB0 \xF0\x9F\x94\x94/KORVANTE"
                                "/Unwindle"};
};

using StorageBackends = ::testing::Types<LinuxStorageFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, StorageContract, StorageBackends);

struct IniSettingsFixture : ::testing::Test {
  SettingsStorage& storage() { return settings; }
  TestFolder folder;
  Trace trace{nullptr, ""};
  IniSettingsStorage settings{trace, folder.root() + "/config/KORVANTE/Unwindle.ini"};
};

using SettingsBackends = ::testing::Types<IniSettingsFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, SettingsStorageContract, SettingsBackends);

struct DesktopLaunchFixture : ::testing::Test {
  StartupLaunch& launch() { return entry; }
  TestFolder folder;
  Trace trace{nullptr, ""};
  DesktopStartupLaunch entry{trace, folder.root() + "/config/autostart/unwindle.desktop",
                             "/opt/Un windle/bin/unwindle"};
};

using LaunchBackends = ::testing::Types<DesktopLaunchFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, StartupLaunchContract, LaunchBackends);

TEST(LinuxFoldersTest, SettingsFilesAndTheStartAtSignInGoWhereTheXdgVariablesSay) {
  TestFolder folder;
  folder.UseForXdg();
  Trace trace{nullptr, ""};
  // As the program makes them.
  struct : EventLoop {
    int64_t NowMs() override { return 0; }
    void StartTimer(TimerTarget&, uint32_t) override {}
    void StopTimer(TimerTarget&) override {}
    void After(uint32_t, std::function<void()>) override {}
    void RunUntil(const std::function<bool()>&) override {}
    void ProcessPendingEvents() override {}
  } loop;
  LinuxSystemServices services(trace, loop);
  EXPECT_EQ(services.settingsStorage.path(), folder.root() + "/config/KORVANTE/Unwindle.ini");
  EXPECT_EQ(services.storage.DataFolder(), folder.root() + "/data/KORVANTE/Unwindle");
  ASSERT_TRUE(services.startupLaunch.TurnOn());
  EXPECT_TRUE(TestFolder::Content(folder.root() + "/config/autostart/unwindle.desktop")
                  .starts_with("[Desktop Entry]\n"));
  // A relative path is no base directory: the default stands.
  setenv("XDG_DATA_HOME", "relative/data", 1);
  setenv("HOME", folder.root().c_str(), 1);
  EXPECT_EQ(LinuxStorage(trace).DataFolder(), folder.root() + "/.local/share/KORVANTE/Unwindle");
}

TEST(IniSettingsTest, AFileAPersonEditedIsReadLenientlyAndKeepsWhatIsNotOurs) {
  TestFolder folder;
  const std::string path = folder.root() + "/Unwindle.ini";
  TestFolder::Place(path,
                    "; my own notes\r\n"
                    "[Other]\n"
                    "Hours=99\n"
                    "[unwindle]\n"
                    "  Hours =  2  \r\n"
                    "# off for now\n"
                    "CustomSound = /home/zo\xC3\xAB/bell\\x.wav\n"
                    "Quoted=\" 12 \"\n"
                    "[Tail]\n"
                    "Minutes=7\n");
  Trace trace{nullptr, ""};
  IniSettingsStorage ini(trace, path);
  const struct {
    const char* name;
    SettingStatus status;
    const char* text;
  } reads[] = {
      {"Hours", SettingStatus::kOk, "2"},
      {"customsound", SettingStatus::kOk, "/home/zo\xC3\xAB/bell\\x.wav"},
      {"Quoted", SettingStatus::kOk, " 12 "},
      {"Minutes", SettingStatus::kMissing, "untouched"},  // another section's
      {"my own notes", SettingStatus::kMissing, "untouched"},
      {"[Other]", SettingStatus::kMissing, "untouched"},
  };
  for (const auto& r : reads) {
    std::string text = "untouched";
    EXPECT_EQ(ini.Read(r.name, text), r.status) << r.name;
    EXPECT_EQ(text, r.text) << r.name;
  }
  ASSERT_EQ(ini.Write("HOURS", "3"), SettingStatus::kOk);
  ASSERT_EQ(ini.Write("Theme", std::string("a\\b\nc\td\r\0e", 10)), SettingStatus::kOk);
  ASSERT_EQ(ini.Remove("Quoted"), SettingStatus::kOk);
  EXPECT_EQ(TestFolder::Content(path),
            "; my own notes\r\n"
            "[Other]\n"
            "Hours=99\n"
            "[unwindle]\n"
            "  Hours =3\n"
            "# off for now\n"
            "CustomSound = /home/zo\xC3\xAB/bell\\x.wav\n"
            "Theme=a\\\\b\\nc\\td\\r\\0e\n"
            "[Tail]\n"
            "Minutes=7\n");
  // A name the file cannot hold on a line of its own is no setting's.
  EXPECT_EQ(ini.Write("Hours=1\n[x", "1"), SettingStatus::kFailed);
}

TEST(IniSettingsTest, AFileThatRefusesIsNeverHalfWrittenAndAFolderInItsPlaceIsNoFile) {
  TestFolder folder;
  Trace trace{nullptr, ""};
  const std::string path = folder.root() + "/KORVANTE/Unwindle.ini";
  IniSettingsStorage ini(trace, path);
  ASSERT_EQ(ini.Write("Hours", "1"), SettingStatus::kOk);
  const std::string before = TestFolder::Content(path);
  // A crash left a temporary file behind: no obstacle, and gone after the next change.
  TestFolder::Place(path + ".new", "[Unwindle]\nHours=half");
  ASSERT_EQ(ini.Write("Minutes", "5"), SettingStatus::kOk);
  EXPECT_EQ(access((path + ".new").c_str(), F_OK), -1);
  chmod(path.c_str(), 0444);
  EXPECT_EQ(ini.Write("Hours", "2"), SettingStatus::kDenied);
  EXPECT_EQ(ini.Remove("Hours"), SettingStatus::kDenied);
  std::string text;
  ASSERT_EQ(ini.Read("Hours", text), SettingStatus::kOk) << "still read";
  EXPECT_EQ(text, "1");
  EXPECT_EQ(TestFolder::Content(path), before + "Minutes=5\n");
  IniSettingsStorage folderInPlace(trace, folder.root());
  EXPECT_EQ(folderInPlace.Read("Hours", text), SettingStatus::kFailed);
  EXPECT_EQ(folderInPlace.Write("Hours", "1"), SettingStatus::kFailed);
}

TEST(IniSettingsTest, TwoProcessesChangingTheFileAtOnceKeepEachOthersChanges) {
  TestFolder folder;
  const std::string path = folder.root() + "/KORVANTE/Unwindle.ini";
  constexpr int kEach = 40;
  auto writer = [&](char who) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    Trace quiet{nullptr, ""};
    IniSettingsStorage ini(quiet, path);
    int failed = 0;
    for (int i = 0; i < kEach; ++i)
      failed += ini.Write(std::string(1, who) + std::to_string(i), "v") != SettingStatus::kOk;
    _exit(failed);
  };
  const pid_t a = writer('A'), b = writer('B');
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  for (pid_t pid : {a, b}) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writes refused";
  }
  Trace trace{nullptr, ""};
  IniSettingsStorage ini(trace, path);
  int lost = 0;
  for (char who : {'A', 'B'})
    for (int i = 0; i < kEach; ++i) {
      std::string text;
      lost += ini.Read(std::string(1, who) + std::to_string(i), text) != SettingStatus::kOk;
    }
  EXPECT_EQ(lost, 0);
  // A process that holds the lock and never lets go delays a change, and does not refuse it.
  const int held = open((path + ".lock").c_str(), O_RDWR);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(ini.Write("Hours", "2"), SettingStatus::kOk);
  close(held);
  std::string text;
  EXPECT_EQ(ini.Read("Hours", text), SettingStatus::kOk);
  EXPECT_EQ(text, "2");
}

TEST(DesktopStartupLaunchTest, TheEntryStartsThisProgramWhateverItsPathAndSaysWhenSwitchedOff) {
  TestFolder folder;
  Trace trace{nullptr, ""};
  const std::string entry = folder.root() + "/autostart/unwindle.desktop";
  DesktopStartupLaunch launch(trace, entry, "/home/a \"b\" $c/un\\windle 100%");
  ASSERT_TRUE(launch.TurnOn());
  // Quoted as the desktop entry rules ask, with the entry's own escapes on top.
  EXPECT_NE(TestFolder::Content(entry).find(
                "\nExec=\"/home/a \\\\\"b\\\\\" \\\\$c/un\\\\\\\\windle 100%%\"\n"),
            std::string::npos)
      << TestFolder::Content(entry);
  // Switched off by the desktop's own settings: it does not start, though the file is there.
  TestFolder::Place(entry, TestFolder::Content(entry) + "Hidden=true\n");
  EXPECT_FALSE(launch.IsOn());
  ASSERT_TRUE(launch.TurnOn());
  EXPECT_TRUE(launch.IsOn());
}

}  // namespace
}  // namespace unw
