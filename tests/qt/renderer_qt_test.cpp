// The Qt renderer and loop on the tests' own desktop: every control kind as a widget named by its
// design name at the pixels its twips make at the screen's DPI; clicks that the model decides; a
// person's input refused where a person could not reach; a timer that opens a modal form is
// never re-entered while the other timers go on; ticks keep to their deadlines.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <vector>

#include "backends/qt/dialogs_qt.h"
#include "backends/qt/event_loop_qt.h"
#include "backends/qt/form_view_qt.h"
#include "forms/ui.h"
#include "test_desktop.h"

namespace unw {
namespace {

class Sample : public Form {
 public:
  explicit Sample(Ui& ui) : Form(ui, "frmSample") {}
  int clicks = 0;

 protected:
  void Design() override {
    SetCaption("Sample");
    SetSize(6000, 4000);
    AddMenu("mnuFile", "&File", nullptr);
    AddMenu("mnuExit", "E&xit", Find("mnuFile"));
    Control& frame = Add(ControlKind::kFrame, "fraBox");
    frame.SetCaption("Box");
    frame.Move(120, 120, 3000, 2000);
    Add(ControlKind::kButton, "cmdGo", &frame).Move(240, 300, 600, 480);
    Ctl("cmdGo").SetPicture("start");
    Ctl("cmdGo").onClick = [this] { ++clicks; };
    Add(ControlKind::kCheckBox, "chkOn", &frame).Move(240, 900, 2000, 300);
    Ctl("chkOn").SetCaption("&On");
    for (int i = 0; i < 2; ++i) {
      Control& o = Add(ControlKind::kOption, "optWay", &frame, i);
      o.Move(240, 1300 + 300 * i, 2000, 300);
      o.SetCaption(i ? "Two" : "One");
    }
    Add(ControlKind::kLabel, "lblText").Move(3300, 120, 2400, 300);
    Ctl("lblText").SetCaption("A &label");
    Add(ControlKind::kTextBox, "txtName").Move(3300, 480, 2400, 315);
    Add(ControlKind::kComboBox, "cboPick").Move(3300, 900, 2400, 315);
    Ctl("cboPick").SetItems({"a", "b"});
    Add(ControlKind::kListBox, "lstAll").Move(3300, 1300, 2400, 900);
    Ctl("lstAll").SetItems({"x", "y", "z"});
    Add(ControlKind::kPicture, "picLogo").Move(120, 2300, 480, 480);
    Ctl("picLogo").SetPicture("logo");
    Add(ControlKind::kFrame, "linRule").Move(120, 3000, 5700, 15);
  }
};

// A form that blocks everything else while it is shown.
class Modal : public Form {
 public:
  explicit Modal(Ui& ui) : Form(ui, "frmModal") {}

 protected:
  void Design() override { Add(ControlKind::kButton, "cmdClose").SetCaption("Close"); }
};

struct RendererTest : ::testing::Test {
  RendererTest() { sample.Show(); }
  ~RendererTest() override {
    sample.Unload();
    modal.Unload();
  }
  template <typename W>
  W* Widget(const char* name) {
    QWidget* window = view.WindowOf(sample.hWnd());
    return window ? window->findChild<W*>(QString::fromLatin1(name)) : nullptr;
  }
  Trace trace{nullptr, ""};
  QtEventLoop loop{trace};
  QtFormView view{trace};
  QtDialogs dialogs{trace, view};
  Ui ui{view, loop, dialogs};
  Sample sample{ui};
  Modal modal{ui};
};

TEST_F(RendererTest, EachControlIsAWidgetNamedByItsDesignNameWhereItsTwipsPutIt) {
  QWidget* window = view.WindowOf(sample.hWnd());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->objectName(), "frmSample");
  EXPECT_EQ(window->windowTitle(), "Sample");
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
  auto px = [dpi](int twips) { return static_cast<int>(twips * dpi / 1440 + 0.5); };
  struct Case {
    const char* name;
    const char* qtClass;
    int left, top, width, height;  // twips, from the design above
  };
  const Case cases[] = {
      {"fraBox", "QGroupBox", 120, 120, 3000, 2000},
      {"cmdGo", "QPushButton", 240, 300, 600, 480},
      {"chkOn", "QCheckBox", 240, 900, 2000, 300},
      {"optWay(0)", "QRadioButton", 240, 1300, 2000, 300},
      {"optWay(1)", "QRadioButton", 240, 1600, 2000, 300},
      {"lblText", "QLabel", 3300, 120, 2400, 300},
      {"txtName", "QLineEdit", 3300, 480, 2400, 315},
      {"cboPick", "QComboBox", 3300, 900, 2400, 315},
      {"lstAll", "QListWidget", 3300, 1300, 2400, 900},
      {"picLogo", "QWidget", 120, 2300, 480, 480},
  };
  for (const Case& c : cases) {
    QWidget* w = window->findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_TRUE(w->inherits(c.qtClass)) << c.name << " is a " << w->metaObject()->className();
    EXPECT_EQ(w->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height))) << c.name;
  }
  EXPECT_EQ(Widget<QGroupBox>("fraBox")->title(), "Box");
  EXPECT_EQ(Widget<QLabel>("lblText")->text(), "A label") << "the access key is no letter";
  EXPECT_EQ(Widget<QCheckBox>("chkOn")->text(), "&On") << "Qt underlines it";
  EXPECT_EQ(Widget<QListWidget>("lstAll")->count(), 3);
  EXPECT_FALSE(Widget<QPushButton>("cmdGo")->icon().isNull()) << "a picture button";
  QMenuBar* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 1);
  EXPECT_EQ(bar->actions().front()->text(), "&File");
}

// Judged by Qt's own idea of what the widgets need, not by the renderer's measuring.
TEST_F(RendererTest, ALongerTextGetsTheRoomItNeedsAndItsFrameAndWindowGrowAroundIt) {
  QWidget* window = view.WindowOf(sample.hWnd());
  ASSERT_NE(window, nullptr);
  const int windowWidth = window->width();
  sample.Ctl("chkOn").SetCaption("&On, and a text far longer than the box was drawn for");
  sample.Ctl("lblText").SetCaption("A label that the desktop's font draws wider than its box");
  QCheckBox* check = Widget<QCheckBox>("chkOn");
  QGroupBox* frame = Widget<QGroupBox>("fraBox");
  QLabel* label = Widget<QLabel>("lblText");
  EXPECT_GE(check->width(), check->sizeHint().width());
  EXPECT_GE(frame->width(), check->geometry().right());
  EXPECT_GE(label->width(), label->sizeHint().width());
  EXPECT_GE(label->geometry().left(), frame->geometry().right()) << "the label made way";
  EXPECT_GT(window->width(), windowWidth);
}

TEST_F(RendererTest, ClicksAreTheModelsToDecideAndRefusedWhereAPersonCouldNotClick) {
  QCheckBox* check = Widget<QCheckBox>("chkOn");
  check->click();
  EXPECT_EQ(sample.Ctl("chkOn").value(), 1);
  EXPECT_TRUE(check->isChecked());
  Widget<QRadioButton>("optWay(1)")->click();
  Widget<QRadioButton>("optWay(0)")->click();
  EXPECT_EQ(sample.Ctl("optWay", 0).value(), 1);
  EXPECT_EQ(sample.Ctl("optWay", 1).value(), 0) << "the model keeps one of the group";
  EXPECT_FALSE(Widget<QRadioButton>("optWay(1)")->isChecked());
  Widget<QComboBox>("cboPick")->setCurrentIndex(1);
  EXPECT_EQ(sample.Ctl("cboPick").value(), 1);
  struct Case {
    const char* what;
    std::function<void()> before;
    bool pressed;
  };
  const Case cases[] = {
      {"shown and enabled", [] {}, true},
      {"the button disabled", [&] { sample.Ctl("cmdGo").SetEnabled(false); }, false},
      {"its frame hidden", [&] { sample.Ctl("fraBox").SetVisible(false); }, false},
      {"a modal form over it",
       [&] {
         modal.Show();
         view.BeginModal(modal);
       },
       false},
      {"the window hidden", [&] { sample.Hide(); }, false},
  };
  for (const Case& c : cases) {
    sample.Show();
    sample.Ctl("cmdGo").SetEnabled(true);
    sample.Ctl("fraBox").SetVisible(true);
    c.before();
    const int before = sample.clicks;
    EXPECT_EQ(view.Invoke("frmSample", "cmdGo"), c.pressed) << c.what;
    EXPECT_EQ(sample.clicks - before, c.pressed ? 1 : 0) << c.what;
    view.EndModal(modal);
    modal.Hide();
  }
  EXPECT_FALSE(view.Invoke("frmSample", "cmdNone")) << "no such control";
}

// A timer that opens a modal loop from its tick, beside one that keeps ticking.
struct Counting : TimerTarget {
  std::string TimerOwner() const override { return "test"; }
  std::string TimerName() const override { return "t"; }
  void OnTick() override {
    ++ticks;
    if (whileTicking) whileTicking();
  }
  int ticks = 0;
  std::function<void()> whileTicking;
};

TEST_F(RendererTest, ATimerThatOpensAModalLoopIsNotReenteredWhileTheOthersGoOn) {
  Counting slow, fast;
  int fastDuringModal = 0;
  slow.whileTicking = [&] {
    const int fastBefore = fast.ticks;
    modal.Show(true);  // returns when a later timer hides it
    fastDuringModal = fast.ticks - fastBefore;
  };
  loop.StartTimer(slow, 20);
  loop.StartTimer(fast, 5);
  loop.After(300, [&] { modal.Hide(); });
  loop.RunUntil([&] { return slow.ticks >= 1 && !modal.visible(); });
  loop.StopTimer(slow);
  loop.StopTimer(fast);
  EXPECT_EQ(slow.ticks, 1) << "its ticks during its own modal loop are skipped";
  EXPECT_GE(fastDuringModal, 10) << "the other timer went on inside the modal loop";
}

TEST_F(RendererTest, TicksKeepToTheirDeadlinesAndALateOneSkipsWhatItMissed) {
  Counting timer;
  QElapsedTimer clock;
  std::vector<int64_t> at;
  timer.whileTicking = [&] {
    at.push_back(clock.elapsed());
    // The third tick's handler runs for two and a half intervals.
    if (at.size() == 3) QThread::msleep(125);
  };
  clock.start();
  loop.StartTimer(timer, 50);
  loop.RunUntil([&] { return at.size() >= 8; });
  loop.StopTimer(timer);
  // Each tick on a multiple of the interval from the start, a little late at most; the deadline
  // the long handler overran comes once as soon as it returns, the next on its own deadline:
  // nothing is bunched, nothing shifted.
  auto offDeadline = [](int64_t t) { return std::abs(t - (t + 25) / 50 * 50); };
  for (size_t i = 0; i < at.size(); ++i) {
    if (i != 3) {
      EXPECT_LE(offDeadline(at[i]), 25) << "tick " << i << " at " << at[i];
    }
  }
  EXPECT_GE(at[3] - at[2], 125) << "after the long handler";
  EXPECT_LT(at[4] - at[3], 50) << "not an interval after the late one";
  EXPECT_NEAR(at[4], 300, 25) << "on its own deadline";
  EXPECT_NEAR(at.back(), 450, 25) << "50, 100, 150, the late one, 300 ... 450";
}

}  // namespace
}  // namespace unw
