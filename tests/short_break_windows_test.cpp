// The windows of short breaks: the dialog that sets them up (its values stored, each bad number
// refused naming its field, an alert held while it is open), and the short break's window and the
// heads-up, which open, count and close as the cycle's snapshot says, never taking the keyboard.
#include <gtest/gtest.h>

#include "app/frm_short_break.h"
#include "app/frm_short_breaks.h"
#include "cycle/break_cycle.h"
#include "program_fixture.h"

namespace unw {
namespace {

class ShortBreaksDialogTest : public ProgramTest {
 protected:
  void Open(const Values& stored = {}) {
    Start(stored);
    sim.Click("frmTimer", "mnuShortBreaks");
    ASSERT_TRUE(Loaded("frmShortBreaks"));
  }
  Control& D(const char* control) { return sim.ctl("frmShortBreaks", control); }
  // Ticks or unticks a check box of the dialog, as a click would.
  void Tick(const char* box, bool on) {
    if ((D(box).value() == 1) != on) sim.Click("frmShortBreaks", box);
  }
  // The five settings as stored, as words "Name=text".
  std::string StoredFive() {
    std::string out;
    for (const char* name : {"ShortBreaks", "ShortBreakMinutes", "ShortBreakSeconds",
                             "ShortBreakSound", "HeadsUpSeconds"})
      out += std::string(out.empty() ? "" : " ") + name + "=" + Stored(name);
    return out;
  }
};

// The label's caption as the user reads it (without its access key's mark).
std::string Shown(const Control& label) {
  std::string text = label.caption();
  std::erase(text, '&');
  return text;
}

TEST_F(ShortBreaksDialogTest, SaveStoresTheValuesOrRefusesABadNumberNamingItsField) {
  const Values stored = Planted(
      "ShortBreaks=0 ShortBreakMinutes=20 ShortBreakSeconds=20 ShortBreakSound=1 HeadsUpSeconds=0");
  struct Case {
    bool shortBreaks;
    const char *minutes, *seconds;
    bool sound, headsUp;
    const char* headsUpSeconds;
    const char* refused;  // the box Save refuses, or null: stored as `stores`
    const char* stores;
  } cases[] = {
      // Off, the heads-up is stored as none whatever its box holds; the short breaks' numbers,
      // which cannot be edited then, keep their stored values when their boxes hold nonsense.
      {false, "999", "25", true, false, "abc", nullptr,
       "ShortBreaks=0 ShortBreakMinutes=20 ShortBreakSeconds=25 ShortBreakSound=1 "
       "HeadsUpSeconds=0"},
      {true, "15", " 30 ", false, true, "45", nullptr,
       "ShortBreaks=1 ShortBreakMinutes=15 ShortBreakSeconds=30 ShortBreakSound=0 "
       "HeadsUpSeconds=45"},
      {true, "0", "30", true, false, "", "txtShortBreakMinutes", nullptr},
      {true, "", "30", true, false, "", "txtShortBreakMinutes", nullptr},
      {true, "1000", "30", true, false, "", "txtShortBreakMinutes", nullptr},
      {true, "20", "4", true, false, "", "txtShortBreakSeconds", nullptr},
      {true, "20", "3600", true, false, "", "txtShortBreakSeconds", nullptr},
      {true, "20", "-5", true, false, "", "txtShortBreakSeconds", nullptr},
      {false, "20", "20", true, true, "0", "txtHeadsUpSeconds", nullptr},
      {false, "20", "20", true, true, "500", "txtHeadsUpSeconds", nullptr},
      {true, "20", "20", true, true, "1x", "txtHeadsUpSeconds", nullptr},
  };
  const std::pair<const char*, int16_t Settings::*> ranges[] = {
      {"txtShortBreakMinutes", &Settings::ShortBreakMinutes},
      {"txtShortBreakSeconds", &Settings::ShortBreakSeconds},
      {"txtHeadsUpSeconds", &Settings::HeadsUpSeconds}};
  Start(stored);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.minutes) + "|" + c.seconds + "|" + c.headsUpSeconds);
    sim.Click("frmTimer", "mnuShortBreaks");
    const std::string before = StoredFive();
    // Typed with the boxes usable, then the check boxes as the case has them.
    Tick("chkShortBreaks", true);
    Tick("chkHeadsUp", true);
    sim.Paste("frmShortBreaks", "txtShortBreakMinutes", c.minutes);
    sim.Paste("frmShortBreaks", "txtShortBreakSeconds", c.seconds);
    sim.Paste("frmShortBreaks", "txtHeadsUpSeconds", c.headsUpSeconds);
    Tick("chkShortBreakSound", c.sound);
    Tick("chkShortBreaks", c.shortBreaks);
    Tick("chkHeadsUp", c.headsUp);
    EXPECT_EQ(D("txtShortBreakMinutes").enabled(), c.shortBreaks);
    EXPECT_EQ(D("chkShortBreakSound").enabled(), c.shortBreaks);
    EXPECT_EQ(D("txtHeadsUpSeconds").enabled(), c.headsUp);
    sim.PressEnter();  // Save
    if (!c.refused) {
      EXPECT_EQ(Told(), "<0 boxes>");
      EXPECT_FALSE(Loaded("frmShortBreaks"));
      EXPECT_EQ(StoredFive(), c.stores);
      EXPECT_EQ(sim.app().settings.HeadsUpSeconds, std::stoi(StoredIn(sim, "HeadsUpSeconds")));
      EXPECT_EQ(sim.app().settings.ShortBreaks, c.shortBreaks ? 1 : 0);
      continue;
    }
    // The message names the field as its label does, and the range the setting takes.
    std::string label = c.refused;
    label.replace(0, 3, "lbl");
    for (const auto& [box, setting] : ranges) {
      if (std::string(box) != c.refused) continue;
      const SettingInfo& info = Setting(setting);
      const std::string told = Told();
      EXPECT_EQ(told.rfind(Shown(D(label.c_str())) + ": enter a whole number of ", 0), 0u) << told;
      EXPECT_NE(
          told.find(" from " + std::to_string(info.lo) + " to " + std::to_string(info.hi) + "."),
          std::string::npos)
          << told;
    }
    EXPECT_TRUE(Loaded("frmShortBreaks")) << "the dialog stays, to correct the value";
    EXPECT_EQ(sim.fake.view.focused, &D(c.refused));
    EXPECT_EQ(StoredFive(), before) << "nothing stored";
    sim.Click("frmShortBreaks", "cmdCancel");
  }
}

TEST_F(ShortBreaksDialogTest, BadStoredValuesAreShownRepairedAndAStoreThatRefusesIsSaidSo) {
  Open(
      Planted("ShortBreaks=1 ShortBreakMinutes=500 ShortBreakSeconds=abc ShortBreakSound=0 "
              "HeadsUpSeconds=3"));
  EXPECT_EQ(D("chkShortBreaks").value(), 1) << "kept";
  EXPECT_EQ(D("txtShortBreakMinutes").text(), Setting(&Settings::ShortBreakMinutes).defaultText);
  EXPECT_EQ(D("txtShortBreakSeconds").text(), Setting(&Settings::ShortBreakSeconds).defaultText);
  EXPECT_EQ(D("chkShortBreakSound").value(), 0) << "kept";
  EXPECT_EQ(D("chkHeadsUp").value(), 0) << "a heads-up out of range is none";
  EXPECT_FALSE(D("txtHeadsUpSeconds").enabled());
  sim.Click("frmShortBreaks", "chkHeadsUp");
  sim.Paste("frmShortBreaks", "txtHeadsUpSeconds", "10");
  sim.fake.settings.SetReadOnly(true);
  sim.Click("frmShortBreaks", "cmdSave");
  EXPECT_EQ(Told(), kNotSavedText);
  EXPECT_FALSE(Loaded("frmShortBreaks"));
  EXPECT_EQ(Stored("HeadsUpSeconds"), "0") << "as repaired at the start";
  EXPECT_EQ(sim.app().settings.HeadsUpSeconds, 10) << "in effect all the same";
}

class ShortBreakWindowsTest : public ProgramTest {
 protected:
  // Two monitors, the user at the second, typing into another program. With no settings the
  // program stands stopped, so that only the snapshots shown by the test reach the windows.
  void StartTyping(const Values& settings = {}) {
    sim.fake.presence.monitors = {{0, 0, 1920, 1040}, {1920, 0, 3840, 1040}};
    sim.fake.presence.pointerX = 2500;
    Start(settings);
    sim.fake.view.Activate(nullptr);
  }
  void Show(const CycleSnapshot& s) {
    sim.Do([&] { sim.app().windows.Show(s); });
  }
  // Came up on top of the monitor in use, leaving the keyboard where it was.
  void ExpectUnasked(const char* form) {
    ASSERT_TRUE(Loaded(form));
    const Form& f = sim.form(form);
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(sim.fake.view.active, nullptr) << "the other program keeps the keyboard";
    EXPECT_EQ(f.centerArea(), (ScreenRect{1920, 0, 3840, 1040}));
    const auto& asked = sim.fake.windows.topMost;
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::pair{f.hWnd(), true}), asked.end());
  }
  std::string Caption(const char* form, const char* control) {
    return sim.ctl(form, control).caption();
  }
};

TEST_F(ShortBreakWindowsTest, TheShortBreakWindowCountsAsTheSnapshotSaysAndClosesWithIt) {
  StartTyping({{"BreakIdeas", "0"}});  // its fixed line (ideas: break_ideas_test.cpp)
  CycleSnapshot s;
  s.shortBreakOn = true;
  s.shortBreak.Reset(75);
  s.shortLaterAllowed = true;
  Show(s);
  ExpectUnasked("frmShortBreak");
  EXPECT_EQ(Caption("frmShortBreak", "lblShortBreakText"),
            "Look away from the screen for a moment.");
  EXPECT_EQ(Caption("frmShortBreak", "lblShortBreakTime"), "1:15");
  EXPECT_TRUE(sim.ctl("frmShortBreak", "cmdShortBreakLater").enabled());
  sim.PressEnter();
  EXPECT_TRUE(Loaded("frmShortBreak")) << "a stray Enter presses nothing";
  for (int i = 0; i < 66; ++i) s.shortBreak.Tick();
  s.shortLaterAllowed = false;
  Show(s);
  EXPECT_EQ(Caption("frmShortBreak", "lblShortBreakTime"), "0:09");
  EXPECT_FALSE(sim.ctl("frmShortBreak", "cmdShortBreakLater").enabled()) << "Later as told";
  EXPECT_EQ(sim.fake.view.created("frmShortBreak"), 1) << "updated, not opened again";
  s.shortBreakOn = false;
  Show(s);
  EXPECT_FALSE(Loaded("frmShortBreak"));
  Show(s);
  EXPECT_FALSE(Loaded("frmShortBreak"));
  // Opened again, the user closes it.
  s.shortBreakOn = true;
  Show(s);
  ASSERT_TRUE(Loaded("frmShortBreak"));
  sim.Close("frmShortBreak");
  EXPECT_FALSE(Loaded("frmShortBreak"));
}

TEST_F(ShortBreakWindowsTest, TheHeadsUpSaysWhichBreakComesInHowLong) {
  const struct {
    HeadsUpKind kind;
    int seconds;
    bool later;
    const char* says;
  } cases[] = {
      {HeadsUpKind::kLong, 30, true, "A break in 30 seconds."},
      {HeadsUpKind::kLong, 2, false, "A break in 2 seconds."},
      {HeadsUpKind::kLong, 1, true, "A break in 1 second."},
      {HeadsUpKind::kShort, 120, true, "A short break in 120 seconds."},
      {HeadsUpKind::kShort, 1, false, "A short break in 1 second."},
  };
  StartTyping();
  CycleSnapshot s;
  for (const auto& c : cases) {
    s.headsUp = c.kind;
    s.headsUpSeconds = c.seconds;
    s.headsUpLaterAllowed = c.later;
    Show(s);
    ExpectUnasked("frmHeadsUp");
    EXPECT_EQ(Caption("frmHeadsUp", "lblHeadsUp"), c.says);
    EXPECT_EQ(sim.ctl("frmHeadsUp", "cmdHeadsUpLater").enabled(), c.later) << c.says;
  }
  EXPECT_EQ(sim.fake.view.created("frmHeadsUp"), 1);
  EXPECT_EQ(Caption("frmHeadsUp", "cmdHeadsUpLater"), "In &5 Minutes");
  s.headsUp = HeadsUpKind::kNone;
  Show(s);
  EXPECT_FALSE(Loaded("frmHeadsUp"));
}

// Through the running cycle: each button and close box reaches the cycle (its trace says how the
// short break ended), and a window the cycle closes itself tells it nothing more.
TEST_F(ShortBreakWindowsTest, TheirButtonsAndCloseBoxesReachTheCycleAndTheirOwnEndsDoNot) {
  StartTyping(
      Planted("ShortBreaks=1 ShortBreakMinutes=1 ShortBreakSeconds=20 ShortBreakSound=0 "
              "HeadsUpSeconds=10 Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1"));
  // Runs the clock (the user typing) until `form` is loaded, at most `limit` seconds.
  auto until = [&](const char* form, int limit) {
    for (int i = 0; i < limit && !Loaded(form); ++i) {
      sim.fake.presence.Input();
      sim.AdvanceSeconds(1);
    }
    return Loaded(form);
  };
  const auto ended = [&](const char* how) { return Traced(std::string("shortbreak.end\t") + how); };
  ASSERT_TRUE(until("frmHeadsUp", 60));
  ExpectUnasked("frmHeadsUp");
  EXPECT_EQ(Caption("frmHeadsUp", "lblHeadsUp"), "A short break in 10 seconds.");
  sim.Close("frmHeadsUp");
  EXPECT_FALSE(Loaded("frmHeadsUp"));
  ASSERT_TRUE(until("frmShortBreak", 11)) << "closing the heads-up changes nothing";
  ExpectUnasked("frmShortBreak");
  sim.AdvanceSeconds(5);
  EXPECT_EQ(Caption("frmShortBreak", "lblShortBreakTime"), "0:15");
  sim.Click("frmShortBreak", "cmdShortBreakLater");
  EXPECT_FALSE(Loaded("frmShortBreak"));
  EXPECT_EQ(ended("later"), 1);
  ASSERT_TRUE(until("frmHeadsUp", 120));
  sim.Click("frmHeadsUp", "cmdHeadsUpLater");
  EXPECT_FALSE(Loaded("frmHeadsUp"));
  EXPECT_EQ(Traced("headsup.later\tshort"), 1);
  ASSERT_TRUE(until("frmShortBreak", 6 * 60));
  EXPECT_FALSE(Loaded("frmHeadsUp")) << "the heads-up goes when what it announced comes";
  sim.Click("frmShortBreak", "cmdShortBreakSkip");
  EXPECT_FALSE(Loaded("frmShortBreak"));
  EXPECT_EQ(ended("skipped"), 1);
  ASSERT_TRUE(until("frmShortBreak", 61));
  sim.Close("frmShortBreak");
  EXPECT_EQ(ended("skipped"), 2) << "the close box skips";
  ASSERT_TRUE(until("frmShortBreak", 61));
  sim.AdvanceSeconds(21);
  EXPECT_FALSE(Loaded("frmShortBreak")) << "closed by itself";
  EXPECT_EQ(ended("ranout"), 1);
  EXPECT_EQ(ended("skipped"), 2) << "its own end is no skip";
  // The dialog saved as it was leaves the short breaks' clock alone; a new interval restarts it.
  sim.AdvanceSeconds(30);
  const int32_t next = sim.app().cycle.Snapshot().nextShortBreak;
  ASSERT_GT(next, 0);
  sim.Click("frmTimer", "mnuShortBreaks");
  sim.Click("frmShortBreaks", "cmdSave");
  EXPECT_EQ(sim.app().cycle.Snapshot().nextShortBreak, next);
  sim.Click("frmTimer", "mnuShortBreaks");
  sim.Paste("frmShortBreaks", "txtShortBreakMinutes", "2");
  sim.Click("frmShortBreaks", "cmdSave");
  EXPECT_EQ(sim.app().cycle.Snapshot().nextShortBreak, 2 * 60);
}

}  // namespace
}  // namespace unw
