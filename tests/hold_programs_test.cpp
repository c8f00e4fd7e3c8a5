// The dialog that edits the programs that hold alerts: names typed, browsed for or picked from the
// programs running now, refused when they are no file names, and stored.
#include <gtest/gtest.h>

#include "app/frm_hold_programs.h"
#include "cycle/break_cycle.h"
#include "program_fixture.h"

namespace unw {
namespace {

class HoldProgramsTest : public ProgramTest {
 protected:
  void Open(const std::string& stored) {
    Start({{"HoldForPrograms", stored}});
    sim.Click("frmTimer", "mnuHoldForPrograms");
    ASSERT_TRUE(Loaded("frmHoldPrograms"));
  }
  Control& D(const char* control) { return sim.ctl("frmHoldPrograms", control); }
  std::vector<std::string> Listed() { return D("lstPrograms").items(); }
  int Selected() { return D("lstPrograms").value(); }
  // The user types `name` over what the box holds and presses Enter (the default button is Add).
  void Add(const std::string& name) {
    sim.Paste("frmHoldPrograms", "txtProgram", "");
    sim.Type("frmHoldPrograms", "txtProgram", name);
    sim.PressEnter();
  }
  // The user clicks entry `index` of a list.
  void Pick(const char* form, const char* list, int index) {
    Control& c = sim.ctl(form, list);
    ASSERT_TRUE(sim.fake.view.AcceptsInput(c.form()));
    sim.Do([&c, index] { c.Select(index); });
  }
};

TEST_F(HoldProgramsTest, OpensWithTheStoredNamesAndSavesWhatWasAddedAndRemoved) {
  Open("POWERPNT.EXE;obs64.exe");
  EXPECT_TRUE(main().Ctl("mnuHoldForPrograms").checked()) << "the list names programs";
  EXPECT_EQ(Listed(), (std::vector<std::string>{"POWERPNT.EXE", "obs64.exe"}));
  EXPECT_EQ(Selected(), -1);
  sim.Tray(TrayEvent::kRightClick);
  EXPECT_TRUE(sim.fake.view.popups.empty()) << "the tray's menu waits for the dialog";
  EXPECT_FALSE(D("cmdRemove").enabled()) << "nothing chosen to remove";
  EXPECT_FALSE(D("cmdAdd").enabled()) << "nothing typed to add";
  Add("  Teams.exe ");
  EXPECT_EQ(Listed().back(), "Teams.exe");
  EXPECT_EQ(Selected(), 2) << "the new name is chosen";
  EXPECT_EQ(D("txtProgram").text(), "") << "ready for the next";
  Add("zoom");
  EXPECT_EQ(Listed().back(), "zoom.exe") << "a program's file has its extension";
  Add("OBS64.EXE");
  EXPECT_EQ(Listed().size(), 4u) << "no name twice";
  EXPECT_EQ(Selected(), 1) << "the name already there is chosen";
  sim.Click("frmHoldPrograms", "cmdRemove");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"POWERPNT.EXE", "Teams.exe", "zoom.exe"}));
  EXPECT_EQ(Selected(), 1) << "the next name takes the removed one's place";
  Pick("frmHoldPrograms", "lstPrograms", 2);
  sim.Click("frmHoldPrograms", "cmdRemove");
  EXPECT_EQ(Selected(), 1) << "after the last, the one before it";
  EXPECT_EQ(Stored("HoldForPrograms"), "POWERPNT.EXE;obs64.exe") << "nothing stored yet";
  sim.Click("frmHoldPrograms", "cmdSave");
  EXPECT_FALSE(Loaded("frmHoldPrograms"));
  EXPECT_EQ(Stored("HoldForPrograms"), "POWERPNT.EXE;Teams.exe");
  EXPECT_EQ(sim.app().settings.HoldForPrograms, "POWERPNT.EXE;Teams.exe");
}

TEST_F(HoldProgramsTest, CancelKeepsTheStoredListAndAnEmptyListUnchecksTheItem) {
  Open("obs64.exe");
  Pick("frmHoldPrograms", "lstPrograms", 0);
  sim.Click("frmHoldPrograms", "cmdRemove");
  EXPECT_TRUE(Listed().empty());
  EXPECT_FALSE(D("cmdRemove").enabled());
  sim.Click("frmHoldPrograms", "cmdCancel");
  EXPECT_EQ(Stored("HoldForPrograms"), "obs64.exe");
  EXPECT_TRUE(main().Ctl("mnuHoldForPrograms").checked());
  sim.Click("frmTimer", "mnuHoldForPrograms");
  EXPECT_EQ(Listed(), std::vector<std::string>{"obs64.exe"}) << "opened afresh from the store";
  Pick("frmHoldPrograms", "lstPrograms", 0);
  sim.Click("frmHoldPrograms", "cmdRemove");
  sim.Click("frmHoldPrograms", "cmdSave");
  EXPECT_EQ(Stored("HoldForPrograms"), " ") << "the store's blank for an empty text";
  EXPECT_FALSE(main().Ctl("mnuHoldForPrograms").checked());
}

TEST_F(HoldProgramsTest, ANameThatIsNoFileNameIsRefusedWithWhatIsWrongAndKeptToCorrect) {
  Open("obs64.exe");
  const struct {
    const char* typed;
    const char* says;
  } refused[] = {
      {"C:\\Program Files\\Zoom\\Zoom.exe", "names a folder or a drive"},
      {"*.exe", "holds a wildcard (* or ?)"},
      {"zoom|teams.exe", "is not a file name"},
      {"zoom.exe;teams.exe", "is not a file name"},
  };
  for (const auto& r : refused) {
    Add(r.typed);
    const std::string told = Told();
    EXPECT_NE(told.find(std::string("\"") + r.typed + "\""), std::string::npos) << told;
    EXPECT_NE(told.find(r.says), std::string::npos) << told;
    EXPECT_EQ(Listed(), std::vector<std::string>{"obs64.exe"}) << r.typed;
    EXPECT_EQ(D("txtProgram").text(), r.typed) << "kept, to be corrected";
  }
  sim.Click("frmHoldPrograms", "cmdSave");
  EXPECT_EQ(Stored("HoldForPrograms"), "obs64.exe");
}

TEST_F(HoldProgramsTest, BrowsingForAProgramAddsItsFileName) {
  Open(" ");
  sim.Click("frmHoldPrograms", "cmdBrowse");
  ASSERT_NE(sim.fake.files.open, nullptr);
  EXPECT_EQ(sim.fake.files.open->pattern, "*.exe") << "the chooser offers programs";
  sim.FinishChooser("C:\\Program Files\\obs-studio\\bin\\64bit\\obs64.exe");
  EXPECT_EQ(Listed(), std::vector<std::string>{"obs64.exe"});
  sim.Click("frmHoldPrograms", "cmdBrowse");
  sim.FinishChooser("");  // cancelled
  EXPECT_EQ(Listed(), std::vector<std::string>{"obs64.exe"});
  EXPECT_TRUE(sim.fake.dialogs.shown.empty());
}

TEST_F(HoldProgramsTest, TheRunningProgramsArePickedFromOnceEachInOrder) {
  sim.fake.presence.programs = {"svchost.exe", "Teams.exe", "explorer.exe", "SVCHOST.EXE",
                                "obs64.exe"};
  Open("obs64.exe");
  sim.Click("frmHoldPrograms", "cmdRunning");
  ASSERT_TRUE(Loaded("frmRunningPrograms"));
  EXPECT_EQ(sim.ctl("frmRunningPrograms", "lstRunning").items(),
            (std::vector<std::string>{"explorer.exe", "obs64.exe", "svchost.exe", "Teams.exe"}));
  EXPECT_FALSE(sim.ctl("frmRunningPrograms", "cmdOK").enabled()) << "nothing picked yet";
  Pick("frmRunningPrograms", "lstRunning", 3);
  sim.Click("frmRunningPrograms", "cmdOK");
  EXPECT_FALSE(Loaded("frmRunningPrograms"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"obs64.exe", "Teams.exe"}));
  sim.Click("frmHoldPrograms", "cmdRunning");
  Pick("frmRunningPrograms", "lstRunning", 0);
  sim.Click("frmRunningPrograms", "cmdCancel");
  EXPECT_EQ(Listed().size(), 2u) << "cancelled: nothing added";
}

TEST_F(HoldProgramsTest, AnAlertDueWhileTheDialogIsOpenWaitsAndThenTheSavedListHoldsIt) {
  Plant({{"Hours", "0"}, {"Minutes", "0"}, {"Seconds", "5"}, {"StartTimerOnLaunch", "1"}});
  sim.fake.presence.programs = {"obs64.exe"};
  sim.Start();
  sim.Click("frmTimer", "mnuHoldForPrograms");
  Add("obs64.exe");
  sim.AdvanceSeconds(10);
  EXPECT_EQ(State(), CycleState::kHeld) << "what the user typed is not lost under a prompt";
  EXPECT_TRUE(Loaded("frmHoldPrograms"));
  sim.Click("frmHoldPrograms", "cmdSave");
  sim.AdvanceSeconds(2);
  EXPECT_EQ(State(), CycleState::kHeld) << "now the program holds it";
  EXPECT_EQ(Tip(), "KORVANTE Unwindle \nA break is due; it waits until obs64.exe ends.");
  sim.fake.presence.programs.clear();
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
}

TEST_F(HoldProgramsTest, AListTheStoreRefusesIsSaidSoAndHoldsUntilTheProgramEnds) {
  Open(" ");
  Add("obs64.exe");
  sim.fake.settings.SetReadOnly(true);
  sim.Click("frmHoldPrograms", "cmdSave");
  EXPECT_EQ(Told(), kNotSavedText);
  EXPECT_FALSE(Loaded("frmHoldPrograms"));
  EXPECT_EQ(Stored("HoldForPrograms"), " ");
  EXPECT_EQ(sim.app().settings.HoldForPrograms, "obs64.exe") << "in effect all the same";
  EXPECT_TRUE(main().Ctl("mnuHoldForPrograms").checked());
}

}  // namespace
}  // namespace unw
