// The form runtime on its own: modal nesting, timers inside modal loops,
// windows re-created from their design, and room made for longer texts.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "forms/fit.h"
#include "forms/ui.h"
#include "backends/fake/sim.h"

namespace unw {
namespace {

class Dialog : public Form {
 public:
  explicit Dialog(Ui& ui) : Form(ui, "frmDialog") {}
  int loads = 0;

 protected:
  void Design() override {
    Add(ControlKind::kButton, "cmdOk").onClick = [this] { Unload(); };
    Add(ControlKind::kLabel, "lblText").SetCaption("design");
  }
  void Form_Load() override { ++loads; }
};

class Host : public Form {
 public:
  Host(Ui& ui, Dialog& dialog) : Form(ui, "frmHost"), dialog_(dialog) {}
  int slowTicks = 0, fastTicks = 0, modalReturns = 0;

 protected:
  void Design() override {
    // A slow timer that opens the dialog from inside its tick.
    AddTimer("tmrSlow", 1000, true).onTimer = [this] {
      ++slowTicks;
      dialog_.Show(true);
      ++modalReturns;
    };
    AddTimer("tmrFast", 100, true).onTimer = [this] { ++fastTicks; };
  }

 private:
  Dialog& dialog_;
};

struct FormRuntimeTest : ::testing::Test {
  FakePlatform fake;
  Ui ui{fake.view, fake.loop, fake.dialogs};
  Dialog dialog{ui};
  Host host{ui, dialog};
  // The program thread may still wait inside a modal loop of these forms.
  ~FormRuntimeTest() override { fake.loop.Shutdown(); }

  void Launch() {
    fake.loop.Launch([this] {
      host.Show();
      fake.loop.RunUntil([this] { return ui.forms().empty(); });
    });
  }
};

TEST_F(FormRuntimeTest, ATimerNeverReentersItsOwnTickWhileOthersKeepFiring) {
  Launch();
  fake.loop.Advance(1000);
  ASSERT_TRUE(dialog.visible());
  EXPECT_EQ(host.slowTicks, 1);
  EXPECT_EQ(fake.loop.depth(), 2) << "the dialog runs a nested loop";
  fake.loop.Advance(5000);
  EXPECT_EQ(host.slowTicks, 1) << "the slow tick is still busy with its dialog";
  EXPECT_EQ(host.fastTicks, 60);
  EXPECT_FALSE(fake.view.AcceptsInput(host));
  fake.loop.Do([this] { dialog.Ctl("cmdOk").Click(); });
  EXPECT_EQ(host.modalReturns, 1);
  EXPECT_TRUE(fake.view.AcceptsInput(host));
  // The next slow tick comes on its own schedule, not shifted by the dialog.
  fake.loop.Advance(999);
  EXPECT_EQ(host.slowTicks, 1);
  fake.loop.Advance(1);
  EXPECT_EQ(host.slowTicks, 2);
}

TEST_F(FormRuntimeTest, AFormComesBackFromItsDesignEachTimeItLoads) {
  Launch();
  fake.loop.Advance(1000);
  dialog.Ctl("lblText").SetCaption("changed");
  fake.loop.Do([this] { dialog.Ctl("cmdOk").Click(); });  // unloads from its own handler
  EXPECT_FALSE(dialog.loaded());
  fake.loop.Advance(1000);
  ASSERT_TRUE(dialog.loaded());
  EXPECT_EQ(dialog.Ctl("lblText").caption(), "design");
  EXPECT_EQ(dialog.loads, 2);
  EXPECT_EQ(fake.view.created("frmDialog"), 2);
}

TEST_F(FormRuntimeTest, UnloadingTheOpenerEndsTheModalLoopCleanly) {
  Launch();
  fake.loop.Advance(1000);
  fake.loop.Do([this] {
    dialog.Unload();
    host.Unload();
  });
  EXPECT_TRUE(fake.loop.finished());
  EXPECT_EQ(fake.loop.timerCount(), 0u);
}

// Room for longer texts, with a measure of its own: 100 twips a character, 200 a line, words
// wrapped greedily within the width asked for.
struct CountingRoom : TextRoom {
  TextSize Needs(const Control& c, int wrapWidth) override {
    std::vector<std::string> lines;
    std::istringstream in(c.caption());
    for (std::string line; std::getline(in, line);) {
      if (wrapWidth <= 0) {
        lines.push_back(line);
        continue;
      }
      std::istringstream words(line);
      std::string shown;
      for (std::string word; words >> word;) {
        if (!shown.empty() && static_cast<int>(shown.size() + 1 + word.size()) * 100 > wrapWidth) {
          lines.push_back(shown);
          shown.clear();
        }
        shown += (shown.empty() ? "" : " ") + word;
      }
      lines.push_back(shown);
    }
    size_t widest = 0;
    for (const auto& l : lines) widest = std::max(widest, l.size());
    return {static_cast<int>(widest) * 100, static_cast<int>(lines.size()) * 200};
  }
};

struct Piece {
  ControlKind kind;
  std::string name;
  std::string parent;  // empty: the form
  Box box;
  std::string caption;
};

// A 4000 x 3000 twips form of the pieces, in their order.
class Sheet : public Form {
 public:
  Sheet(Ui& ui, std::vector<Piece> pieces) : Form(ui, "frmSheet"), pieces_(std::move(pieces)) {}

 protected:
  void Design() override {
    SetSize(4000, 3000);
    for (const Piece& p : pieces_) {
      Control& c = Add(p.kind, p.name, p.parent.empty() ? nullptr : &Ctl(p.parent));
      c.Move(p.box.left, p.box.top, p.box.width, p.box.height);
      c.SetCaption(p.caption);
    }
  }

 private:
  std::vector<Piece> pieces_;
};

TEST(FitTextsTest, ATextWrapsBetweenWordsOrBetweenChineseAndJapaneseCharacters) {
  const std::pair<const char*, bool> cases[] = {
      {"00", false},      {"Start Timer", true}, {"two\nlines", true}, {"Übergröße", false},
      {"休息时间", true}, {"ベル", true},        {"", false}};
  for (const auto& [text, wraps] : cases) EXPECT_EQ(Wraps(text), wraps) << text;
}

TEST(FitTextsTest, AControlWhoseTextIsLongerGrowsAndWhatIsBesideItMakesWay) {
  using K = ControlKind;
  struct Case {
    const char* what;
    std::vector<Piece> pieces;
    int maxWidth;
    std::map<std::string, Box> moved;  // the rest stay where they were designed
    int width, height;
  };
  const Piece ok{K::kButton, "cmdOk", "", {120, 2000, 1000, 360}, "OK"};
  const std::vector<Case> cases = {
      {"every text fits: nothing moves",
       {{K::kLabel, "lblA", "", {100, 100, 1000, 200}, "Hello"}, ok},
       8000,
       {},
       4000,
       3000},
      {"a label widens; the text box in its row moves; the form has room enough",
       {{K::kLabel, "lblName", "", {120, 120, 600, 200}, "Long name here"},
        {K::kTextBox, "txtName", "", {840, 120, 1500, 300}, ""},
        {K::kButton, "cmdOk", "", {840, 600, 1000, 360}, "OK"}},
       8000,
       {{"lblName", {120, 120, 1400, 200}}, {"txtName", {1640, 120, 1500, 300}}},
       4000,
       3000},
      {"the form widens, keeping the smaller of its margins",
       {{K::kLabel, "lblName", "", {120, 120, 600, 200}, "A much longer name than any here"},
        {K::kTextBox, "txtName", "", {840, 120, 1500, 300}, ""}},
       8000,
       {{"lblName", {120, 120, 3200, 200}}, {"txtName", {3440, 120, 1500, 300}}},
       5060,
       3000},
      {"the same within a work area 4200 wide",
       {{K::kLabel, "lblName", "", {120, 120, 600, 200}, "A much longer name than any here"},
        {K::kTextBox, "txtName", "", {840, 120, 1500, 300}, ""}},
       4200,
       {{"lblName", {120, 120, 3200, 200}}, {"txtName", {3440, 120, 1500, 300}}},
       4200,
       3000},
      {"a check box widens its frame, which moves the label beside it",
       {{K::kFrame, "fraOpts", "", {120, 120, 2000, 1200}, "Options"},
        {K::kCheckBox, "chkA", "fraOpts", {120, 240, 1500, 240}, "Check a very long text"},
        {K::kOption, "optB", "fraOpts", {120, 600, 1500, 240}, "Short"},
        {K::kLabel, "lblSide", "", {2300, 200, 800, 200}, "Side"},
        ok},
       8000,
       {{"chkA", {120, 240, 2200, 240}},
        {"fraOpts", {120, 120, 2440, 1200}},
        {"lblSide", {2740, 200, 800, 200}}},
       4000,
       3000},
      {"a frame's own caption widens it",
       {{K::kFrame, "fraOpts", "", {120, 120, 600, 800}, "A frame caption"}, ok},
       8000,
       {{"fraOpts", {120, 120, 1500, 800}}},
       4000,
       3000},
      {"buttons of one size in a row and in a column grow as the widest of them",
       {{K::kButton, "cmdBrowse", "", {3000, 120, 800, 360}, "Browse"},
        {K::kButton, "cmdRunning", "", {3000, 600, 800, 360}, "Running Programs"},
        {K::kButton, "cmdSave", "", {120, 2400, 800, 360}, "Save"},
        {K::kButton, "cmdCancel", "", {1020, 2400, 800, 360}, "Cancel it now"}},
       8000,
       {{"cmdBrowse", {3000, 120, 1600, 360}},
        {"cmdRunning", {3000, 600, 1600, 360}},
        {"cmdSave", {120, 2400, 1300, 360}},
        {"cmdCancel", {1520, 2400, 1300, 360}}},
       4720,
       3000},
      {"a label of two lines takes a third; the button below moves down",
       {{K::kLabel,
         "lblInfo",
         "",
         {120, 120, 2000, 400},
         "one two three four five six seven eight nine"},
        {K::kButton, "cmdOk", "", {120, 700, 1000, 360}, "OK"},
        {K::kButton, "cmdAside", "", {2500, 700, 1000, 360}, "Go"}},
       8000,
       {{"lblInfo", {120, 120, 2000, 600}}, {"cmdOk", {120, 900, 1000, 360}}},
       4000,
       3000},
      {"the form grows down when the button was near its bottom",
       {{K::kLabel,
         "lblInfo",
         "",
         {120, 120, 2000, 400},
         "one two three four five six seven eight nine"},
        {K::kButton, "cmdOk", "", {120, 2520, 1000, 360}, "OK"}},
       8000,
       {{"lblInfo", {120, 120, 2000, 600}}, {"cmdOk", {120, 2720, 1000, 360}}},
       4000,
       3200},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    Ui ui{fake.view, fake.loop, fake.dialogs};
    Sheet sheet(ui, c.pieces);
    sheet.Load();  // no timers, no loop needed
    CountingRoom room;
    const FittedForm fitted = FitTexts(sheet, room, c.maxWidth, 8000);
    ASSERT_EQ(fitted.boxes.size(), c.pieces.size()) << c.what;
    for (size_t i = 0; i < c.pieces.size(); ++i) {
      const auto it = c.moved.find(c.pieces[i].name);
      const Box want = it == c.moved.end() ? c.pieces[i].box : it->second;
      const Box& got = fitted.boxes[i];
      EXPECT_EQ(got, want) << c.what << ": " << c.pieces[i].name << " at " << got.left << ","
                           << got.top << " " << got.width << "x" << got.height;
    }
    EXPECT_EQ(fitted.width, c.width) << c.what;
    EXPECT_EQ(fitted.height, c.height) << c.what;
    sheet.Unload();
  }
}

}  // namespace
}  // namespace unw
