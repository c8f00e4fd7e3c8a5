// The Qt back end keeps the contracts of the message box, the system fonts, the monitors, the
// look and the tray on the tests' own desktop (test_desktop.h): boxes are read and answered as
// they stand on the screen, the tray icon is clicked over D-Bus as a StatusNotifierItem host
// clicks it, notices are answered by the desktop's notification service, the colour scheme is
// set as the desktop's settings set it.
#include <QAbstractButton>
#include <QApplication>
#include <QDBusArgument>
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <map>

#include "appearance_contract.h"
#include "backends/qt/appearance_qt.h"
#include "backends/qt/dialogs_qt.h"
#include "backends/qt/event_loop_qt.h"
#include "backends/qt/form_view_qt.h"
#include "backends/qt/notification_area_qt.h"
#include "backends/qt/system_metrics_qt.h"
#include "backends/qt/window_system_qt.h"
#include "dbus_menu.h"
#include "forms/ui.h"
#include "message_contract.h"
#include "monitors_contract.h"
#include "system_fonts_contract.h"
#include "test_desktop.h"
#include "tray_contract.h"

namespace unw {
namespace {

using qttest::Desktop;
using qttest::Settle;

// The next box is read as it stands on the screen, then its button is pressed.
struct QtMessageFixture : ::testing::Test {
  Dialogs& dialogs() { return real; }
  void PressWhenShown(MessageAnswer button) {
    seen = {};
    Poll(button);
  }
  void Poll(MessageAnswer button) {
    QTimer::singleShot(10, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return Poll(button);
      Read(*box);
      const QMessageBox::StandardButton which = button == MessageAnswer::kYes  ? QMessageBox::Yes
                                                : button == MessageAnswer::kNo ? QMessageBox::No
                                                                               : QMessageBox::Ok;
      if (QAbstractButton* b = box->button(which)) b->click();
    });
  }
  void Read(QMessageBox& box) {
    seen.shown = true;
    seen.title = box.windowTitle().toStdString();
    seen.text = box.text().toStdString();
    // The buttons as the user sees them, left to right.
    QList<QAbstractButton*> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) {
      return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    for (QAbstractButton* b : buttons) seen.buttons.push_back(AnswerOf(box.standardButton(b)));
    seen.enterPresses = box.defaultButton() ? AnswerOf(box.standardButton(box.defaultButton()))
                                            : MessageAnswer::kNone;
    switch (box.icon()) {
      case QMessageBox::Information:
        seen.icon = MessageIcon::kInformation;
        break;
      case QMessageBox::Warning:
        seen.icon = MessageIcon::kWarning;
        break;
      case QMessageBox::Critical:
        seen.icon = MessageIcon::kError;
        break;
      case QMessageBox::Question:
        seen.icon = MessageIcon::kQuestion;
        break;
      default:
        seen.icon = MessageIcon::kNone;
    }
    seen.onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  }
  static MessageAnswer AnswerOf(QMessageBox::StandardButton b) {
    return b == QMessageBox::Yes  ? MessageAnswer::kYes
           : b == QMessageBox::No ? MessageAnswer::kNo
           : b == QMessageBox::Ok ? MessageAnswer::kOk
                                  : MessageAnswer::kNone;
  }
  ShownMessage Shown() { return seen; }

  ShownMessage seen;
  Trace trace{nullptr, ""};
  QtFormView view{trace};
  QtDialogs real{trace, view};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MessageContract, ::testing::Types<QtMessageFixture>);

struct QtFontsFixture : ::testing::Test {
  SystemMetrics& metrics() { return real; }
  QtSystemMetrics real;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, SystemFontsContract, ::testing::Types<QtFontsFixture>);

struct QtMonitorsFixture : ::testing::Test {
  WindowSystem& windows() { return real; }
  void Settle() { qttest::Settle(); }
  Trace trace{nullptr, ""};
  QtFormView view{trace};
  QtWindowSystem real{trace, view};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MonitorsContract, ::testing::Types<QtMonitorsFixture>);

// The desktop's colour scheme, set as its settings page sets it: the portal's value and signal.
struct QtAppearanceFixture : ::testing::Test {
  void SetUp() override {
    if (!Desktop()) GTEST_SKIP() << "no desktop of the tests' own";
  }
  Appearance& appearance() { return real; }
  void UserSets(bool appsDark) {
    Desktop()->portal->Set(QStringLiteral("color-scheme"), appsDark ? 1 : 2);
  }
  void Settle() { qttest::Settle(); }
  Trace trace{nullptr, ""};
  QtAppearance real{trace};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, AppearanceContract, ::testing::Types<QtAppearanceFixture>);

// The item's own D-Bus service, as the watcher heard it register.
QString ItemService() {
  const QStringList items = Desktop()->watcher->items();
  return items.isEmpty() ? QString() : items.back();
}

QDBusMessage CallItem(const QString& method, const QVariantList& args) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(ItemService(), QStringLiteral("/StatusNotifierItem"),
                                     QStringLiteral("org.kde.StatusNotifierItem"), method);
  call.setArguments(args);
  return QDBusConnection::connectToBus(QDBusConnection::SessionBus, "unwindle-test-desktop")
      .call(call, QDBus::NoBlock);
}

// The tray as a StatusNotifierItem host and the notification service see it.
struct QtTrayFixture : ::testing::Test {
  void SetUp() override {
    if (!Desktop()) GTEST_SKIP() << "no desktop of the tests' own";
  }
  NotificationArea& tray() { return real; }
  std::uintptr_t window() { return reinterpret_cast<std::uintptr_t>(&owner); }
  bool NoticesExpected() { return true; }
  // The host's click: Activate on the item over D-Bus, answered once the item has handled it.
  void Click() {
    Settle();
    CallItem(QStringLiteral("Activate"), {0, 0});
    Settle();
  }
  // A person clicks a notice of the program's on the desktop: one that is up, or else one the
  // program shows now.
  void ClickNotice() {
    uint id = Desktop()->notifications->Last();
    if (!id || !LiveNotice(id)) {
      ASSERT_TRUE(real.ShowNotice(window(), "Unwindle", "Time for a break", NoticeKind::kNone));
      id = Desktop()->notifications->Last();
    }
    Desktop()->notifications->Click(id);
    Settle();
  }
  void NoticeTimesOut() {
    if (const uint id = Desktop()->notifications->Last()) Desktop()->notifications->TimeOut(id);
    Settle();
  }
  bool LiveNotice(uint id) {
    const auto closed = Desktop()->notifications->Closed();
    return std::find(closed.begin(), closed.end(), id) == closed.end();
  }
  QWidget owner;
  Trace trace{nullptr, ""};
  QtNotificationArea real{trace};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, TrayContract, ::testing::Types<QtTrayFixture>);

// The item's tooltip as a StatusNotifierItem host reads it: its title.
QString ToolTipOverDBus() {
  const auto tip = dbusmenu::ReadToolTip(
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, "unwindle-test-desktop"),
      ItemService());
  return tip ? tip->title : QStringLiteral("(no answer)");
}

using QtTrayTest = QtTrayFixture;

TEST_F(QtTrayTest, TheTipIsReadOverDBusAndNoticesGoToTheDesktopsNotificationService) {
  std::vector<TrayEvent> events;
  ASSERT_TRUE(real.ShowIcon(window(), real.IconHandle(0, 0), "Unwindle\r\n00:25:00"));
  ASSERT_TRUE(real.Subscribe(window(), [&](TrayEvent e) { events.push_back(e); }));
  Settle();
  ASSERT_FALSE(ItemService().isEmpty()) << "the icon registered its item with the watcher";
  EXPECT_EQ(ToolTipOverDBus(), "Unwindle\n00:25:00");
  ASSERT_TRUE(real.ShowIcon(window(), real.IconHandle(0, 1), "Unwindle\n00:24:59"));
  EXPECT_EQ(ToolTipOverDBus(), "Unwindle\n00:24:59") << "each change is read";

  auto& notices = *Desktop()->notifications;
  const size_t before = notices.Shown().size();
  ASSERT_TRUE(real.ShowNotice(window(), "Unwindle", "Time for a break", NoticeKind::kWarning));
  ASSERT_TRUE(real.ShowNotice(window(), "Unwindle", "Still time for one", NoticeKind::kError));
  const auto shown = notices.Shown();
  ASSERT_EQ(shown.size(), before + 2);
  const auto& first = shown[before];
  const auto& second = shown[before + 1];
  EXPECT_EQ(first.title, "Unwindle");
  EXPECT_EQ(first.text, "Time for a break");
  EXPECT_EQ(first.icon, "dialog-warning");
  EXPECT_TRUE(first.actions.contains("default")) << "a click on it is reported";
  EXPECT_EQ(second.replaces, first.id) << "a new notice takes the place of the one up";
  EXPECT_EQ(second.icon, "dialog-error");
  notices.Click(second.id);
  Settle();
  EXPECT_EQ(events, std::vector<TrayEvent>{TrayEvent::kNoticeClicked});
  ASSERT_TRUE(real.ShowNotice(window(), "Unwindle", "Once more", NoticeKind::kNone));
  const uint third = notices.Last();
  EXPECT_EQ(notices.Shown().back().replaces, 0u) << "the clicked one is gone";
  EXPECT_TRUE(real.TakeDownNotice(window()));
  Settle();
  const auto closed = notices.Closed();
  EXPECT_NE(std::find(closed.begin(), closed.end(), third), closed.end())
      << "the program's own time is over: the notice is taken down";
  notices.TimeOut(third);
  Settle();
  EXPECT_EQ(events.size(), 1u) << "an end is never reported";
  EXPECT_TRUE(real.RemoveIcon(window()));
}

// A window with a popup menu, as the program's main window has the tray's.
class MenuOwner : public Form {
 public:
  explicit MenuOwner(Ui& ui) : Form(ui, "frmOwner") {}
  std::vector<std::string> chosen;

 protected:
  void Design() override {
    Control& popup = AddMenu("mPopup", "", nullptr);
    popup.SetVisible(false);
    for (const char* name : {"mnuOpen", "mnuSep", "mnuPause", "mnuKeep", "mnuGone"})
      AddMenu(name, name == std::string("mnuSep") ? "-" : std::string("&") + (name + 3), &popup)
          .onClick = [this, name] { chosen.push_back(name); };
    Ctl("mnuPause").SetEnabled(false);
    Ctl("mnuGone").SetVisible(false);
  }
};

TEST_F(QtTrayTest, TheHostShowsThePopupMenuAsTheProgramHasItAndAClickIsChosenAsInThePopup) {
  QtEventLoop loop{trace};
  QtFormView view{trace};
  QtDialogs dialogs{trace, view};
  Ui ui{view, loop, dialogs};
  MenuOwner owner{ui};
  owner.Load();
  real.OfferMenus([&view](std::uintptr_t w) { return view.PopupMenuOf(w); });
  ASSERT_TRUE(real.ShowIcon(owner.hWnd(), real.IconHandle(0, 0), "Unwindle"));
  std::vector<TrayEvent> events;
  real.Subscribe(owner.hWnd(), [&](TrayEvent e) {
    events.push_back(e);
    // The program's answer to the host opening it: the items as they stand now.
    owner.Ctl("mnuKeep").SetChecked(true);
  });
  Settle();
  const auto host = dbusmenu::Menu::Of(
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, "unwindle-test-desktop"),
      ItemService());
  std::vector<std::string> shown;
  std::map<std::string, int> ids;
  for (const auto& e : host.Open()) {
    ids[e.label.toStdString()] = e.id;
    if (!e.visible) continue;
    shown.push_back(e.separator ? "-"
                                : e.label.toStdString() + (e.enabled ? "" : " (disabled)") +
                                      (e.checked ? " (checked)" : ""));
  }
  EXPECT_EQ(events, std::vector<TrayEvent>{TrayEvent::kMenuOpening});
  EXPECT_EQ(shown, (std::vector<std::string>{"Open", "-", "Pause (disabled)", "Keep (checked)"}));
  // In order: what the disabled and the hidden entry did is done once the last one is chosen.
  for (const char* label : {"Pause", "Gone", "Open"}) host.Click(ids[label]);
  // The clicks come over the bus, a moment later: the loop runs until they are here.
  QElapsedTimer waited;
  waited.start();
  while (owner.chosen.empty() && waited.elapsed() < 5000) {
    QCoreApplication::processEvents();
    QThread::msleep(5);
  }
  EXPECT_EQ(owner.chosen, std::vector<std::string>{"mnuOpen"});
  EXPECT_TRUE(real.RemoveIcon(owner.hWnd()));
  owner.Unload();
}

}  // namespace
}  // namespace unw
