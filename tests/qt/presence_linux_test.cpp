// The person and the machine on Linux: logind, the session and its screen saver on private buses
// with stand-in services (and a forger who owns none of their names), and locking through them, the
// idle time and the window in front from a private X server (windows that close under the question
// included), the busy signs from planted /proc and /proc/asound folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <chrono>
#include <mutex>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "backends/qt/presence_linux.h"
#include "backends/qt/shell_linux.h"
#include "linux_test_folder.h"
#include "private_session.h"

namespace unw {
namespace {

// Runs the Qt loop for `ms`, or until `done` holds.
void RunLoop(
    int ms, const std::function<bool()>& done = [] { return false; }) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

constexpr char kSessionPath[] = "/org/freedesktop/login1/session/_31";

struct LinuxPresenceBusTest : ::testing::Test {
  LinuxPresenceBusTest() {
    LinuxPresence::Options options;
    options.systemBus = system.name();
    options.sessionBus = session.name();
    options.display = "";
    presence = std::make_unique<LinuxPresence>(trace, options);
  }
  using Event = std::pair<bool, AwayReason>;
  std::vector<Event> Heard(int settleMs = 300) {
    RunLoop(settleMs);
    return std::exchange(heard, {});
  }

  Trace trace{nullptr, ""};
  PrivateBus system{"unw-test-system"}, session{"unw-test-session"};
  StandInService logind{system, "org.freedesktop.login1", "/org/freedesktop/login1",
                        [](const QDBusMessage& m) -> QVariantList {
                          if (m.member() == "GetSessionByPID")
                            return {QVariant::fromValue(QDBusObjectPath(kSessionPath))};
                          return {};
                        }};
  std::unique_ptr<LinuxPresence> presence;
  std::vector<Event> heard;
};

TEST_F(LinuxPresenceBusTest, SleepLockAndSwitchingAwayComeFromLogindAndTheScreenSaverOnce) {
  StandInService saver{session, "org.gnome.ScreenSaver", "/org/gnome/ScreenSaver",
                       [](const QDBusMessage&) { return QVariantList(); }};
  presence->Subscribe([this](bool away, AwayReason why) { heard.push_back({away, why}); });
  const QString manager = "org.freedesktop.login1.Manager", s = "org.freedesktop.login1.Session",
                props = "org.freedesktop.DBus.Properties";
  auto changed = [&](const char* name, bool value) {
    logind.Signal(kSessionPath, props, "PropertiesChanged",
                  {s, QVariantMap{{name, value}}, QStringList()});
  };
  const struct {
    std::function<void()> send;
    std::vector<Event> heard;
    const char* what;
  } steps[] = {
      {[&] { logind.Signal("/org/freedesktop/login1", manager, "PrepareForSleep", {true}); },
       {{true, AwayReason::kSleep}},
       "to sleep"},
      {[&] { logind.Signal("/org/freedesktop/login1", manager, "PrepareForSleep", {false}); },
       {{false, AwayReason::kSleep}},
       "awake"},
      {[&] { logind.Signal(kSessionPath, s, "Lock", {}); }, {{true, AwayReason::kLock}}, "locked"},
      {[&] { changed("LockedHint", true); }, {}, "the locker says so too: once is enough"},
      {[&] { changed("LockedHint", false); }, {{false, AwayReason::kLock}}, "unlocked"},
      {[&] { changed("Active", false); }, {{true, AwayReason::kSwitchedAway}}, "switched away"},
      {[&] { changed("Active", true); }, {{false, AwayReason::kSwitchedAway}}, "back"},
      {[&] {
         saver.Signal("/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", {true});
       },
       {{true, AwayReason::kLock}},
       "GNOME's shield"},
      {[&] { logind.Signal(kSessionPath, s, "Unlock", {}); },
       {{false, AwayReason::kLock}},
       "unlocked"},
      {[&] { logind.Signal("/org/freedesktop/login1/session/_32", s, "Lock", {}); },
       {},
       "another session's lock"},
  };
  for (const auto& step : steps) {
    step.send();
    EXPECT_EQ(Heard(), step.heard) << step.what;
  }
}

TEST_F(LinuxPresenceBusTest, ASignalFromAProgramThatIsNotLogindIsNoSleep) {
  presence->Subscribe([this](bool away, AwayReason why) { heard.push_back({away, why}); });
  // A program of the session's that owns no name of logind's, on the same bus.
  StandInService forger{system, "org.example.Forger", "/x",
                        [](const QDBusMessage&) { return QVariantList(); }};
  forger.Signal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
                {true});
  EXPECT_TRUE(Heard().empty());
}

TEST_F(LinuxPresenceBusTest, DoNotDisturbAndGnomesIdleTimeAndBannersAreAskedOfTheirServices) {
  unsetenv("DISPLAY");
  EXPECT_FALSE(presence->DoNotDisturb()) << "no notification service";
  EXPECT_FALSE(presence->CanTell(BusySign::kDoNotDisturb)) << "nobody tells it";
  EXPECT_FALSE(presence->CanTell(BusySign::kFullScreen)) << "no X server";
  EXPECT_EQ(presence->IdleMs(), 0) << "nobody to ask";
  bool inhibited = true;
  StandInService notices{
      session, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
      [&](const QDBusMessage& m) -> QVariantList {
        if (m.member() == "Get" && m.arguments().value(1).toString() == "Inhibited")
          return {QVariant::fromValue(QDBusVariant(inhibited))};
        return {};
      }};
  StandInService mutter{session, "org.gnome.Mutter.IdleMonitor",
                        "/org/gnome/Mutter/IdleMonitor/Core",
                        [](const QDBusMessage& m) -> QVariantList {
                          if (m.member() == "GetIdletime")
                            return {QVariant::fromValue(qulonglong(123456))};
                          return {};
                        }};
  EXPECT_TRUE(presence->DoNotDisturb());
  EXPECT_TRUE(presence->CanTell(BusySign::kDoNotDisturb));
  inhibited = false;
  EXPECT_FALSE(presence->DoNotDisturb());
  EXPECT_EQ(presence->IdleMs(), 123456);
  // GNOME's banners switched off, as the portal answers it (a variant in a variant).
  bool banners = false;
  StandInService portal{
      session, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
      [&](const QDBusMessage& m) -> QVariantList {
        if (m.member() == "Read" && m.arguments().value(1).toString() == "show-banners")
          return {QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(banners))))};
        return {};
      }};
  EXPECT_TRUE(presence->DoNotDisturb());
  banners = true;
  EXPECT_FALSE(presence->DoNotDisturb());
}

TEST(LinuxWorkstationTest, LockingAsksTheScreenSaverElseLogindAndTheScreenSaverStartsThroughIt) {
  PrivateBus system{"unw-test-ws-system"}, session{"unw-test-ws-session"};
  Trace trace{nullptr, ""};
  LinuxWorkstation workstation(trace, 500, system.name(), session.name());
  EXPECT_EQ(workstation.LockWorkStation(), 0) << "nobody to ask";
  EXPECT_FALSE(workstation.CanLock() || workstation.CanStartScreenSaver()) << "and it says so";
  std::mutex mutex;
  std::vector<std::string> asked;
  auto record = [&](const char* who) {
    return [&, who](const QDBusMessage& m) -> QVariantList {
      std::lock_guard<std::mutex> lock(mutex);
      asked.push_back(std::string(who) + " " + m.member().toStdString() + " " +
                      m.path().toStdString() + " " +
                      m.arguments().value(0).toString().toStdString());
      if (m.member() == "GetSessionByPID")
        return {QVariant::fromValue(QDBusObjectPath(kSessionPath))};
      return {QVariant(true)};
    };
  };
  auto heard = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(asked, {});
  };
  {
    StandInService logind{system, "org.freedesktop.login1", "/org/freedesktop/login1",
                          record("logind")};
    EXPECT_TRUE(workstation.CanLock() && !workstation.CanStartScreenSaver());
    heard();  // whether there is a session to lock
    EXPECT_NE(workstation.LockWorkStation(), 0);
  }
  EXPECT_EQ(heard(),
            (std::vector<std::string>{
                "logind GetSessionByPID /org/freedesktop/login1 " + std::to_string(getpid()),
                "logind Lock " + std::string(kSessionPath) + " ",
            }));
  StandInService saver{session, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                       record("saver")};
  EXPECT_TRUE(workstation.CanLock() && workstation.CanStartScreenSaver());
  EXPECT_NE(workstation.LockWorkStation(), 0);
  workstation.StartScreenSaver(7);
  EXPECT_EQ(heard(),
            (std::vector<std::string>{"saver Lock /org/freedesktop/ScreenSaver ",
                                      "saver SetActive /org/freedesktop/ScreenSaver true"}));
}

// A window of the test's own on the display, and the root's and its properties.
struct XWindows {
  explicit XWindows(const std::string& display) : c(xcb_connect(display.c_str(), nullptr)) {
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  }
  ~XWindows() { xcb_disconnect(c); }
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : 0;
    free(r);
    return atom;
  }
  xcb_window_t NewWindow() {
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 800, 600, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(c, w);
    return w;
  }
  void Set(xcb_window_t w, const char* name, xcb_atom_t type, uint32_t value) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(name), type, 32, 1, &value);
    xcb_flush(c);
  }
  void Destroy(xcb_window_t w) {
    xcb_destroy_window(c, w);
    xcb_aux_sync();
  }
  void xcb_aux_sync() { free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
  xcb_connection_t* c;
  xcb_window_t root;
};

TEST(LinuxPresenceXTest, IdleTimeAndAFullScreenWindowInFrontComeFromTheXServerWhateverItDoes) {
  PrivateDisplay display;
  ASSERT_FALSE(display.name().empty()) << "no Xvfb";
  Trace trace{nullptr, ""};
  LinuxPresence::Options options;
  options.display = display.name();
  options.systemBus = options.sessionBus = "unw-test-none";  // no buses: the X server alone
  options.wayland = false;
  LinuxPresence presence(trace, options);
  // No input: the idle time grows with the clock; then a move of the pointer (XTest, as a
  // person's) starts it again.
  const int64_t before = presence.IdleMs();
  RunLoop(500);
  const int64_t idle = presence.IdleMs();
  EXPECT_GE(idle - before, 400);
  ASSERT_EQ(system(("DISPLAY=" + display.name() + " xdotool mousemove 10 10").c_str()), 0);
  EXPECT_LT(presence.IdleMs(), std::min<int64_t>(idle, 300));
  // The same X server as a Wayland session's XWayland: its count is not the person's.
  options.wayland = true;
  LinuxPresence onWayland(trace, options);
  RunLoop(300);
  EXPECT_EQ(onWayland.IdleMs(), 0);

  XWindows x(display.name());
  const xcb_atom_t fullScreen = x.Atom("_NET_WM_STATE_FULLSCREEN");
  const xcb_window_t w = x.NewWindow();
  const struct {
    std::function<void()> make;
    bool fullScreen;
    const char* what;
  } steps[] = {
      {[] {}, false, "no window manager has named an active window"},
      {[&] { x.Set(x.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, w); }, false,
       "an ordinary window"},
      {[&] { x.Set(w, "_NET_WM_STATE", XCB_ATOM_ATOM, fullScreen); }, true, "full screen"},
      {[&] { x.Set(w, "_NET_WM_PID", XCB_ATOM_CARDINAL, getpid()); }, false, "the program's own"},
      {[&] { x.Set(w, "_NET_WM_PID", XCB_ATOM_CARDINAL, 1); }, true, "another program's"},
      {[&] { x.Destroy(w); }, false, "closed, though the root still names it"},
      {[&] { x.Set(x.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, 0x7ffffff0); }, false,
       "a window that never was"},
      {[&] { x.Set(x.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_ATOM, 1); }, false, "of the wrong type"},
  };
  for (const auto& step : steps) {
    step.make();
    EXPECT_EQ(presence.FullScreenInFront(), step.fullScreen) << step.what;
  }
  // The server goes away under the program: it asks, and goes on.
  display.End();
  EXPECT_FALSE(presence.FullScreenInFront());
  presence.IdleMs();
  EXPECT_EQ(presence.PointerWorkArea(), ScreenRect{});
}

TEST(LinuxPresenceProcTest, ACallIsAnotherProgramsCameraOrARecordingCardAndProgramsGoByExactNames) {
  TestFolder folder;
  const std::string video = folder.root() + "/dev-video", asound = folder.root() + "/asound";
  TestFolder::Place(video + "0", "");
  TestFolder::Place(asound + "/card0/pcm0p/sub0/status", "state: RUNNING\n");
  TestFolder::Place(asound + "/card0/pcm0c/sub0/status", "closed\n");
  Trace trace{nullptr, ""};
  LinuxPresence::Options options;
  options.videoPrefix = video;
  options.asoundRoot = asound;
  options.systemBus = options.sessionBus = "unw-test-none";
  LinuxPresence presence(trace, options);
  EXPECT_FALSE(presence.CallOn()) << "playing is no call";
  // The program itself holding the device is no call either.
  const int own = open((video + "0").c_str(), O_RDONLY);
  EXPECT_FALSE(presence.CallOn());
  close(own);
  // Another program, named as Linux has it, holding the camera.
  const std::string program = folder.root() + "/Video Call-App";
  std::filesystem::copy_file("/bin/sleep", program);
  chmod(program.c_str(), 0755);
  const pid_t pid = fork();
  if (pid == 0) {
    open((video + "0").c_str(), O_RDONLY);
    execl(program.c_str(), program.c_str(), "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  OwnProcess call(pid);
  RunLoop(2000, [&] { return presence.CallOn(); });
  EXPECT_TRUE(presence.CallOn());
  const std::vector<std::string> running = presence.RunningPrograms();
  EXPECT_NE(std::find(running.begin(), running.end(), "Video Call-App"), running.end());
  EXPECT_EQ(presence.FirstRunning({"video call-app", "Video Call-App.exe", "Video Call-App"}),
            "Video Call-App");
  EXPECT_EQ(presence.FirstRunning({"video call-app"}), "") << "case as Linux has it";
  call.End();
  EXPECT_FALSE(presence.CallOn());
  EXPECT_EQ(presence.FirstRunning({"Video Call-App"}), "");
  // A card that records.
  TestFolder::Place(asound + "/card1/pcm3c/sub0/status", "state: RUNNING\n");
  EXPECT_TRUE(presence.CallOn());
}

}  // namespace
}  // namespace unw
