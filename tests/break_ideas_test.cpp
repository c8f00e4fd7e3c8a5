// Break ideas: dealt at random without a repeat until every idea of the list was shown, in the
// short break's window in place of its fixed line; the user's own list (repaired alone when it
// cannot be read) edited in frmBreakIdeas, which refuses what cannot be kept.
#include <gtest/gtest.h>

#include <set>

#include "app/break_ideas.h"
#include "app/frm_break_ideas.h"
#include "cycle/break_cycle.h"
#include "program_fixture.h"
#include "settings/idea_list.h"

namespace unw {
namespace {

using Ideas = std::vector<std::string>;

Ideas BuiltIn(IdeaKind kind) {
  const auto list = BuiltInIdeas(kind);
  return Ideas(list.begin(), list.end());
}

// What is wrong with `shown` as ideas dealt from `pool`: each round of pool.size() shows every idea
// of it once, and no idea comes twice in a row (a new round included).
std::string RoundsFault(const Ideas& shown, const Ideas& pool) {
  const std::set<std::string> all(pool.begin(), pool.end());
  for (size_t start = 0; start < shown.size(); start += all.size()) {
    std::set<std::string> round;
    for (size_t i = start; i < std::min(shown.size(), start + all.size()); ++i) {
      if (!all.count(shown[i])) return "\"" + shown[i] + "\" is no idea of the list";
      if (!round.insert(shown[i]).second)
        return "\"" + shown[i] + "\" again in the round from " + std::to_string(start);
      if (i > 0 && shown[i] == shown[i - 1]) return "\"" + shown[i] + "\" twice in a row";
    }
  }
  return "";
}

// One short break's window opened and closed, as the cycle's snapshots do it; what it said.
std::string ShortBreakText(Sim& sim) {
  CycleSnapshot s;
  s.shortBreakOn = true;
  s.shortBreak.Reset(20);
  sim.Do([&] { sim.app().windows.Show(s); });
  EXPECT_TRUE(sim.FindForm("frmShortBreak"));
  const std::string text = sim.ctl("frmShortBreak", "lblShortBreakText").caption();
  s.shortBreakOn = false;
  sim.Do([&] { sim.app().windows.Show(s); });
  return text;
}

std::string NextIdea(Sim& sim, IdeaKind kind) {
  std::string idea;
  sim.Do([&] { idea = sim.app().ideas.Next(kind); });
  return idea;
}

TEST(BreakIdeas, TwoHundredBreaksOfEachKindShowEveryIdeaOnceARoundAndNoneTwiceInARow) {
  const Ideas own = {"Tea and a walk.", "Two\nlines.", "A back\\slash.", "Look up."};
  const struct {
    std::string custom;
    IdeaKind kind;
    bool alternate;  // short and long breaks by turns, from one list
    Ideas pool;
    bool window;  // through the short break's window
  } cases[] = {
      {" ", IdeaKind::kShort, false, BuiltIn(IdeaKind::kShort), true},
      {" ", IdeaKind::kLong, false, BuiltIn(IdeaKind::kLong), false},
      {WriteIdeaList(own), IdeaKind::kShort, true, own, false},  // the user's own serve both
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.custom);
    Sim sim;
    Plant(sim, {{{"CustomIdeas", c.custom}}});
    sim.Start();
    Ideas shown;
    for (int i = 0; i < 200; ++i) {
      const IdeaKind kind = c.alternate && i % 2 ? IdeaKind::kLong : c.kind;
      shown.push_back(c.window ? ShortBreakText(sim) : NextIdea(sim, kind));
    }
    EXPECT_EQ(RoundsFault(shown, c.pool), "");
    EXPECT_NE(Ideas(shown.begin(), shown.begin() + c.pool.size()), c.pool) << "not shuffled";
  }
}

TEST(BreakIdeas, TheShortBreakWindowShowsTheIdeaWholeOrItsFixedLineWhenIdeasAreOff) {
  const std::string longest(190, 'w');
  std::string words;  // 200 characters in words that wrap
  while (words.size() < 190) words += "Stretch ";
  words += "now.";
  const struct {
    const char* ideasOn;
    std::string custom;
    std::string shows;
    bool grows;  // more than one line of text
  } cases[] = {
      {"0", "Look up.", "Look away from the screen for a moment.", false},
      {"1", "Look up.", "Look up.", false},
      {"1", "Tea & a walk.", "Tea && a walk.", false},  // an "&" shows as itself
      {"1", words, words, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.custom);
    Sim sim;
    Plant(sim, {{{"BreakIdeas", c.ideasOn}, {"CustomIdeas", c.custom}}});
    sim.Start();
    CycleSnapshot s;
    s.shortBreakOn = true;
    s.shortBreak.Reset(20);
    sim.Do([&] { sim.app().windows.Show(s); });
    ASSERT_TRUE(sim.FindForm("frmShortBreak"));
    const Form& f = sim.form("frmShortBreak");
    const Control& text = sim.ctl("frmShortBreak", "lblShortBreakText");
    EXPECT_EQ(text.caption(), c.shows);
    // The label holds every line of its text, and everything below it still fits the window.
    const TextSize line = sim.fake.view.MeasureText(text.font(), "Xy");
    const int lines = text.height() / line.height;
    EXPECT_EQ(lines > 1, c.grows) << text.height();
    EXPECT_GE(lines * text.width(), sim.fake.view.MeasureText(text.font(), c.shows).width)
        << "every character has room";
    for (const char* below : {"lblShortBreakTime", "cmdShortBreakLater", "cmdShortBreakSkip"}) {
      const Control& b = sim.ctl("frmShortBreak", below);
      EXPECT_GE(b.top(), text.top() + text.height()) << below;
      EXPECT_LE(b.top() + b.height(), f.height()) << below;
    }
  }
}

TEST(BreakIdeas, AProgramOnTheFakeClockDealsTheSameOrderEveryRun) {
  Ideas first[2];
  for (Ideas& ideas : first) {
    Sim sim;
    Plant(sim, {});
    sim.Start();
    for (int i = 0; i < 10; ++i) ideas.push_back(NextIdea(sim, IdeaKind::kShort));
  }
  EXPECT_EQ(first[0], first[1]);
}

class BreakIdeasDialogTest : public ProgramTest {
 protected:
  void Open(const Values& stored = {}) {
    Start(stored);
    sim.Click("frmTimer", "mnuBreakIdeas");
    ASSERT_TRUE(Loaded("frmBreakIdeas"));
  }
  Control& D(const char* control) { return sim.ctl("frmBreakIdeas", control); }
  Ideas Listed() { return D("lstIdeas").items(); }
  // The user types `idea` over what the box holds and presses Enter (the default button is Add).
  void Add(const std::string& idea) {
    sim.Paste("frmBreakIdeas", "txtIdea", "");
    sim.Type("frmBreakIdeas", "txtIdea", idea);
    sim.PressEnter();
  }
  void Pick(int index) {
    Control& c = D("lstIdeas");
    sim.Do([&c, index] { c.Select(index); });
  }
};

TEST_F(BreakIdeasDialogTest, OpensOnTheBuiltInIdeasAndSavesTheListOnceTheUserChangesIt) {
  Open();
  Ideas builtIn = BuiltIn(IdeaKind::kShort);
  const Ideas longOnes = BuiltIn(IdeaKind::kLong);
  builtIn.insert(builtIn.end(), longOnes.begin(), longOnes.end());
  EXPECT_EQ(Listed(), builtIn) << "no list of the user's yet";
  EXPECT_FALSE(D("cmdRemove").enabled()) << "nothing chosen";
  sim.Tray(TrayEvent::kRightClick);
  EXPECT_TRUE(sim.fake.view.popups.empty()) << "the tray's menu waits for the dialog";
  Add("  Hum a tune.  ");
  EXPECT_EQ(Listed().back(), "Hum a tune.");
  EXPECT_EQ(D("lstIdeas").value(), static_cast<int>(builtIn.size())) << "the new idea is chosen";
  EXPECT_EQ(D("txtIdea").text(), "") << "ready for the next";
  Add(builtIn[3]);
  EXPECT_EQ(Listed().size(), builtIn.size() + 1) << "no idea twice";
  EXPECT_EQ(D("lstIdeas").value(), 3) << "the one already there is chosen";
  sim.Click("frmBreakIdeas", "cmdRemove");
  EXPECT_EQ(Listed()[3], builtIn[4]) << "removed, the next in its place";
  EXPECT_EQ(Stored("CustomIdeas"), " ") << "nothing stored yet";
  sim.Click("frmBreakIdeas", "cmdSave");
  EXPECT_FALSE(Loaded("frmBreakIdeas"));
  // Stored as lines: the built-in ones but the fourth, then the new one.
  const std::string stored = Stored("CustomIdeas");
  EXPECT_EQ(stored.substr(0, stored.find('\n')), builtIn[0]);
  EXPECT_EQ(stored.substr(stored.rfind('\n') + 1), "Hum a tune.");
  EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n') + 1, static_cast<long>(builtIn.size()));
  EXPECT_EQ(stored.find(builtIn[3]), std::string::npos);
  EXPECT_EQ(sim.app().settings.CustomIdeas, stored);
  // Opened again: the user's own list; Built-in Ideas brings the program's back, kept as none.
  sim.Click("frmTimer", "mnuBreakIdeas");
  EXPECT_EQ(Listed().back(), "Hum a tune.");
  sim.Click("frmBreakIdeas", "cmdBuiltInIdeas");
  EXPECT_EQ(Listed(), builtIn);
  sim.Click("frmBreakIdeas", "cmdSave");
  EXPECT_EQ(Stored("CustomIdeas"), " ") << "the store's blank for no list";
}

TEST_F(BreakIdeasDialogTest, RefusesAnEmptyIdeaOneTooLongAndOneTooManySayingWhy) {
  std::string full;  // as many ideas as the list holds
  for (int i = 0; i < 200; ++i) full += (i ? "\n" : "") + std::string("Idea ") + std::to_string(i);
  const struct {
    std::string stored;
    std::string typed;
    const char* says;  // a word the message must hold
  } cases[] = {
      {"Look up.", "", "Type an idea"},
      {"Look up.", "     ", "Type an idea"},
      {"Look up.", std::string(201, 'x'), "200 characters"},
      {"Look up.", "Look\tup.", "control characters"},
      {full, "One more.", "200 ideas"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Sim fresh;
    Plant(fresh, {{{"CustomIdeas", c.stored}}});
    fresh.Start();
    fresh.Click("frmTimer", "mnuBreakIdeas");
    const Ideas before = fresh.ctl("frmBreakIdeas", "lstIdeas").items();
    fresh.Paste("frmBreakIdeas", "txtIdea", c.typed);
    fresh.Click("frmBreakIdeas", "cmdAdd");
    ASSERT_EQ(fresh.fake.dialogs.open.size(), 1u);
    EXPECT_NE(fresh.fake.dialogs.open.back()->text.find(c.says), std::string::npos)
        << fresh.fake.dialogs.open.back()->text;
    fresh.Answer(MessageAnswer::kOk);
    EXPECT_EQ(fresh.ctl("frmBreakIdeas", "lstIdeas").items(), before);
    EXPECT_EQ(fresh.ctl("frmBreakIdeas", "txtIdea").text(), c.typed) << "left to be corrected";
    fresh.Click("frmBreakIdeas", "cmdSave");
    EXPECT_EQ(StoredIn(fresh, "CustomIdeas"), c.stored);
  }
}

TEST_F(BreakIdeasDialogTest, AStoredListThatCannotBeReadGoesAloneAndAStoreThatRefusesIsSaidSo) {
  Open({{"CustomIdeas", "Look up.\n\nStand up."}, {"HoldForPrograms", "obs64.exe"}});
  EXPECT_EQ(Stored("CustomIdeas"), " ") << "repaired at the start";
  EXPECT_EQ(Stored("HoldForPrograms"), "obs64.exe") << "nothing else";
  EXPECT_EQ(Listed().front(), BuiltIn(IdeaKind::kShort).front()) << "the built-in ideas";
  Pick(0);
  sim.Click("frmBreakIdeas", "cmdRemove");
  const Ideas own = Listed();
  sim.fake.settings.SetReadOnly(true);
  sim.Click("frmBreakIdeas", "cmdSave");
  EXPECT_EQ(Told(), kNotSavedText);
  EXPECT_FALSE(Loaded("frmBreakIdeas"));
  EXPECT_EQ(Stored("CustomIdeas"), " ");
  // In effect all the same: the short breaks go through the user's list, long ideas and all.
  Ideas shown;
  for (size_t i = 0; i < own.size(); ++i) shown.push_back(NextIdea(sim, IdeaKind::kShort));
  EXPECT_EQ(RoundsFault(shown, own), "");
}

TEST(BreakIdeas, TheBuiltInOnesAreManyShortAndEachOnce) {
  const struct {
    IdeaKind kind;
    size_t atLeast, longest;  // how many, and characters each
  } kinds[] = {{IdeaKind::kShort, 40, 60}, {IdeaKind::kLong, 25, 140}};
  std::set<std::string> seen;
  for (const auto& k : kinds) {
    const Ideas ideas = BuiltIn(k.kind);
    EXPECT_GE(ideas.size(), k.atLeast);
    for (const std::string& idea : ideas) {
      EXPECT_LE(idea.size(), k.longest) << idea;
      EXPECT_EQ(CheckIdea(idea), IdeaFault::kNone) << idea;
      EXPECT_TRUE(idea.back() == '.') << idea << ": a whole sentence";
      EXPECT_TRUE(seen.insert(idea).second) << idea << " twice";
    }
  }
}

}  // namespace
}  // namespace unw
