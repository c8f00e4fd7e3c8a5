// The form runtime on its own: modal nesting, timers inside modal loops,
// and windows re-created from their design.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace unw
