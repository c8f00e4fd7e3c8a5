// The program in another language: which one it speaks (the setting, else the user's Windows
// languages), the Language menu, and the main window, menus and tray tooltip changing at once.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mo_writer.h"
#include "program_fixture.h"

namespace unw {
namespace {

// A catalogue of the test's own, in words no catalogue ships, so what shows is surely its.
std::string TestGerman() {
  return WriteMo({{"",
                   "Language: de\nX-Language-Name: Testdeutsch\n"
                   "Content-Type: text/plain; charset=UTF-8\n"},
                  {"&File", "&Dateitest"},
                  {"One-Time Change", "Einmaltest"},
                  {"&Stop Timer", "Timer &beenden (Test)"},
                  {"{maker} - {url} \nTime Remaining: {time} - Stopped", "Test {time} angehalten"}},
                 false);
}

struct Seen {
  std::string file, change, tip;
};

Seen SeenIn(Sim& sim) {
  Form& f = sim.form("frmTimer");
  return {f.Ctl("mnuFile").caption(), f.Ctl("cmdChange").toolTip(), TipOf(sim)};
}

void ExpectGerman(Sim& sim, bool german, const std::string& why) {
  const Seen seen = SeenIn(sim);
  if (german) {
    EXPECT_EQ(seen.file, "&Dateitest") << why;
    EXPECT_EQ(seen.change, "Einmaltest") << why;
    EXPECT_EQ(seen.tip, "Test 01:00:00 angehalten") << why;
  } else {
    EXPECT_EQ(seen.file, "&File") << why;
    EXPECT_EQ(seen.change, "One-Time Change") << why;
    EXPECT_NE(seen.tip.find("01:00:00 - Stopped"), std::string::npos) << why << ": " << seen.tip;
  }
}

TEST(LanguagesTest, TheSettingElseTheFirstWindowsLanguageCarriedElseEnglish) {
  struct Case {
    const char* setting;
    std::vector<std::string> preferred;
    bool german;
  };
  const Case cases[] = {
      {"de", {"en-US"}, true},           // chosen
      {" ", {"de-AT", "en-US"}, true},   // Windows' first, by its base language
      {" ", {"en-US", "de-DE"}, false},  // English first
      {" ", {"fr-FR", "de-CH"}, true},   // the first the program carries
      {"fr", {"en-GB"}, false},          // chosen but not carried: Windows says English
      {"not a tag", {"de-DE"}, true},    // repaired alone: follows Windows
  };
  for (const auto& c : cases) {
    Sim sim;
    sim.fake.languages.preferred = c.preferred;
    sim.fake.languages.catalogues = {TestGerman()};
    Plant(sim, {{{"Language", c.setting}}});
    sim.Start();
    ExpectGerman(sim, c.german,
                 std::string("Language \"") + c.setting + "\", first " + c.preferred.front());
  }
}

TEST(LanguagesTest, TheLanguageMenuChangesTheWindowTheMenusAndTheTrayAtOnce) {
  Sim sim;
  sim.fake.languages.catalogues = {TestGerman()};
  Plant(sim, {});
  sim.Start();
  Form& f = sim.form("frmTimer");
  EXPECT_EQ(f.Ctl("mnuLanguage1").caption(), "Testdeutsch");
  struct Step {
    const char* item;
    bool german;
    const char* stored;
  };
  const Step steps[] = {{"mnuLanguage1", true, "de"}, {"mnuLanguage0", false, " "}};
  for (const auto& step : steps) {
    EXPECT_NE(f.Ctl(step.item).checked(), true) << step.item << " before";
    sim.Click("frmTimer", step.item);
    ExpectGerman(sim, step.german, step.item);
    EXPECT_EQ(StoredIn(sim, "Language"), step.stored);
    EXPECT_TRUE(f.Ctl(step.item).checked()) << step.item;
    EXPECT_EQ(f.Ctl("mnuLanguage0").checked(), !step.german);
  }
  // The countdown's own texts follow too.
  sim.Click("frmTimer", "mnuLanguage1");
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(f.Ctl("cmdStart").toolTip(), "Start Timer") << "not in the test's catalogue";
}

// A window that opens after the change comes up in the new language.
TEST(LanguagesTest, AWindowOpenedLaterSpeaksTheLanguageChosenBefore) {
  Sim sim;
  sim.fake.languages.catalogues = {TestGerman()};
  Plant(sim, {Planted("Hours=0 Minutes=0 Seconds=10 StartTimerOnLaunch=1")});
  sim.Start();
  sim.Click("frmTimer", "mnuLanguage1");
  for (int s = 0; s < 30 && !sim.FindForm("frmUnwindle"); ++s) sim.AdvanceSeconds(1);
  ASSERT_TRUE(sim.FindForm("frmUnwindle")) << "the prompt at time-up";
  EXPECT_EQ(sim.ctl("frmUnwindle", "cmdStopTimer").caption(), "Timer &beenden (Test)");
  // What the test's catalogue lacks stays English.
  EXPECT_EQ(sim.ctl("frmUnwindle", "cmdRemindLater").caption(), "&Remind Later");
}

// A translation longer than the tray shows is cut at a word, whole characters only: Cyrillic
// takes two bytes a letter and the cut must fall between words, not between bytes.
TEST(LanguagesTest, ALongTranslatedTooltipIsCutAtAWordWithinWhatTheTrayShows) {
  std::string words;
  for (int i = 0; i < 12; ++i) words += " остановлено ещё 😴";
  const std::string translation = "Осталось {time}:" + words;
  Sim sim;
  sim.fake.languages.catalogues = {WriteMo(
      {{"", "Language: ru\nX-Language-Name: Тест\nContent-Type: text/plain; charset=UTF-8\n"},
       {"{maker} - {url} \nTime Remaining: {time} - Stopped", translation}},
      false)};
  Plant(sim, {{{"Language", "ru"}}});
  sim.Start();
  const std::string whole = "Осталось 01:00:00:" + words;
  const std::string tip = TipOf(sim);
  // Counted here from the code points: the tray's field holds 127 UTF-16 units and a null.
  size_t units = 0;
  for (size_t i = 0; i < tip.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(tip[i]);
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  EXPECT_LE(units, 127u) << tip;
  EXPECT_GT(units, 100u) << "cut no shorter than its last word: " << tip;
  ASSERT_LT(tip.size(), whole.size());
  EXPECT_EQ(whole.substr(0, tip.size()), tip);
  EXPECT_EQ(whole[tip.size()], ' ') << "cut between words: " << tip;
  EXPECT_NE(tip.back(), ' ');
}

// The build's own catalogues, each in the running program: a spoilt one among them is left out
// and the others still speak.
TEST(LanguagesTest, TheBuildsCataloguesSpeakAndASpoiltOneIsLeftOut) {
  std::ifstream in(std::string(UNWINDLE_CATALOGUES_DIR) + "/de.mo", std::ios::binary);
  std::stringstream de;
  de << in.rdbuf();
  ASSERT_FALSE(de.str().empty());
  Sim sim;
  sim.fake.languages.catalogues = {de.str().substr(0, de.str().size() - 1), de.str()};
  sim.fake.languages.preferred = {"de-DE"};
  Plant(sim, {});
  sim.Start();
  EXPECT_EQ(TraceCount(sim, "language.refused\t0"), 1);
  EXPECT_EQ(TraceCount(sim, "language\tde"), 1);
  EXPECT_NE(SeenIn(sim).file, "&File");
  EXPECT_EQ(sim.form("frmTimer").Ctl("mnuLanguage1").caption(), "Deutsch");
}

}  // namespace
}  // namespace unw
