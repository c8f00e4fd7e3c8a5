#include "backends/qt/window_system_qt.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "backends/qt/form_view_qt.h"

namespace unw {

QtWindowSystem::QtWindowSystem(Trace& trace, QtFormView& view) : trace_(trace), view_(view) {}

long QtWindowSystem::SetTopMost(std::uintptr_t window, bool topMost) {
  QWidget* w = view_.WindowOf(window);
  if (!w) return 0;
  if (bool(w->windowFlags() & Qt::WindowStaysOnTopHint) == topMost) return 1;
  // A new flag makes a new native window: shown again as it was, keyboard left where it is.
  const bool shown = w->isVisible();
  const bool quiet = w->testAttribute(Qt::WA_ShowWithoutActivating);
  w->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
  if (shown) {
    w->setAttribute(Qt::WA_ShowWithoutActivating, true);
    w->show();
    w->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
  }
  return 1;
}

void QtWindowSystem::SetTaskVisible(bool visible) {
  // The main window leaves the task bar by hiding into the tray; nothing else to do here.
  trace_.Line("window.taskbar", {visible ? "1" : "0"});
}

long QtWindowSystem::SetForegroundWindow(std::uintptr_t window) {
  QWidget* w = view_.WindowOf(window);
  if (!w || !w->isVisible()) return 0;
  w->raise();
  w->activateWindow();
  return 1;
}

std::vector<ScreenRect> QtWindowSystem::Monitors() {
  std::vector<ScreenRect> out;
  QScreen* primary = QGuiApplication::primaryScreen();
  auto add = [&out](QScreen* s) {
    const QRect g = s->geometry();
    out.push_back({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
  };
  if (primary) add(primary);
  for (QScreen* s : QGuiApplication::screens()) {
    if (s != primary) add(s);
  }
  // The primary monitor's top left is 0,0.
  if (!out.empty()) {
    const int dx = out.front().left, dy = out.front().top;
    for (auto& r : out) r = {r.left - dx, r.top - dy, r.right - dx, r.bottom - dy};
  }
  return out;
}

void QtWindowSystem::WatchScreen(QScreen* screen) {
  QObject::connect(screen, &QScreen::geometryChanged, [this] {
    if (changed_) changed_();
  });
}

void QtWindowSystem::SubscribeMonitors(std::function<void()> changed) {
  changed_ = std::move(changed);
  if (watching_) return;
  watching_ = true;
  auto* app = qGuiApp;
  auto tell = [this] {
    if (changed_) changed_();
  };
  QObject::connect(app, &QGuiApplication::screenAdded, [this, tell](QScreen* s) {
    WatchScreen(s);
    tell();
  });
  QObject::connect(app, &QGuiApplication::screenRemoved, tell);
  QObject::connect(app, &QGuiApplication::primaryScreenChanged, tell);
  for (QScreen* s : QGuiApplication::screens()) WatchScreen(s);
}

}  // namespace unw
