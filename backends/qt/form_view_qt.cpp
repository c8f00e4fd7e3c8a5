#include "backends/qt/form_view_qt.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "backends/qt/form_window_qt.h"

namespace unw {

namespace qt {

// Every key and click of the program's windows passes here before the widget acts.
class InputFilter : public QObject {
 public:
  explicit InputFilter(QtFormView& view) : view_(view) {}

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    const QEvent::Type t = event->type();
    if (t != QEvent::KeyPress && t != QEvent::MouseButtonPress && t != QEvent::FocusIn)
      return false;
    auto* widget = qobject_cast<QWidget*>(target);
    if (!widget) return false;
    // A key or click a widget leaves goes on to its parents: it is one input all the same.
    if (t != QEvent::FocusIn) {
      const auto stamp = static_cast<QInputEvent*>(event)->timestamp();
      if (event == last_ && stamp == lastStamp_ && t == lastType_) return false;
      last_ = event;
      lastStamp_ = stamp;
      lastType_ = t;
    }
    FormWindow* w = view_.FindWidget(widget->window());
    return w && w->FilterInput(target, event);
  }

 private:
  QtFormView& view_;
  const QEvent* last_ = nullptr;
  quint64 lastStamp_ = 0;
  QEvent::Type lastType_ = QEvent::None;
};

}  // namespace qt

namespace {

// The dark look: the desktop's style with the program's dark palette.
QPalette DarkPalette() {
  QPalette p;
  const QColor window(0x20, 0x20, 0x20), base(0x2B, 0x2B, 0x2B), text(0xF0, 0xF0, 0xF0);
  const QColor grey(0x80, 0x80, 0x80);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, grey);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
  p.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x40));
  p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x30));
  p.setColor(QPalette::Dark, QColor(0x10, 0x10, 0x10));
  p.setColor(QPalette::Highlight, QColor(0x3A, 0x8E, 0xE6));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x6C, 0xB4, 0xFF));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, grey);
  return p;
}

}  // namespace

QtFormView::QtFormView(Trace& trace)
    : trace_(trace), filter_(std::make_unique<qt::InputFilter>(*this)) {
  systemPalette_ = QApplication::palette();
  if (QApplication::style()) systemStyle_ = QApplication::style()->name().toStdString();
  qApp->installEventFilter(filter_.get());
}

QtFormView::~QtFormView() {
  qApp->removeEventFilter(filter_.get());
  windows_.clear();
  dying_.clear();
}

int QtFormView::Dpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? static_cast<int>(screen->logicalDotsPerInch() + 0.5) : 96;
  return std::clamp(dpi, 48, 768);
}

int QtFormView::Pixels(int twips) {
  return (twips * Dpi() + 720) / 1440;
}

qt::FormWindow* QtFormView::Find(const Form& form) const {
  for (const auto& w : windows_) {
    if (&w->form() == &form) return w.get();
  }
  return nullptr;
}

qt::FormWindow* QtFormView::FindWidget(const QWidget* window) const {
  for (const auto& w : windows_) {
    if (w->window() == window) return w.get();
  }
  return nullptr;
}

QWidget* QtFormView::WindowOf(std::uintptr_t handle) const {
  for (const auto& w : windows_) {
    if (reinterpret_cast<std::uintptr_t>(w->window()) == handle) return w->window();
  }
  return nullptr;
}

QMenu* QtFormView::PopupMenuOf(std::uintptr_t handle) const {
  for (const auto& w : windows_) {
    if (reinterpret_cast<std::uintptr_t>(w->window()) == handle) return w->PopupMenu();
  }
  return nullptr;
}

QWidget* QtFormView::MainWindow() const {
  return windows_.empty() ? nullptr : windows_.front()->window();
}

std::uintptr_t QtFormView::Create(Form& form) {
  windows_.push_back(std::make_unique<qt::FormWindow>(*this, form, trace_));
  QWidget* w = windows_.back()->Create();
  return reinterpret_cast<std::uintptr_t>(w);
}

void QtFormView::Destroy(Form& form) {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [&form](const auto& w) { return &w->form() == &form; });
  if (it == windows_.end()) return;
  EndModal(form);
  std::unique_ptr<qt::FormWindow> w = std::move(*it);
  windows_.erase(it);
  w->Destroy();
  trace_.Line("window.unload", {form.name()});
  // A handler of this window may still be running (it unloaded its own form).
  if (w->busy()) dying_.push_back(std::move(w));
}

void QtFormView::Reap(qt::FormWindow* window) {
  // Freed once the toolkit's call that reached the handler has returned too.
  QTimer::singleShot(0, filter_.get(), [this, window] {
    std::erase_if(dying_, [window](const auto& w) { return w.get() == window && !w->busy(); });
  });
}

void QtFormView::DestroyAll() {
  while (!windows_.empty()) Destroy(windows_.back()->form());
}

void QtFormView::FormChanged(Form& form, FormProp what) {
  if (qt::FormWindow* w = Find(form)) w->FormChanged(what);
}

void QtFormView::ControlChanged(Control& control, Prop what) {
  if (qt::FormWindow* w = Find(control.form())) w->ControlChanged(control, what);
}

void QtFormView::BeginModal(Form& form) {
  qt::FormWindow* modal = Find(form);
  auto& taken = disabled_[&form];
  for (const auto& w : windows_) {
    if (w.get() == modal || !w->window() || !w->window()->isEnabled()) continue;
    w->window()->setEnabled(false);
    taken.emplace_back(w->window());
  }
}

void QtFormView::EndModal(Form& form) {
  auto it = disabled_.find(&form);
  if (it == disabled_.end()) return;
  for (const auto& w : it->second) {
    if (w) w->setEnabled(true);
  }
  disabled_.erase(it);
}

bool QtFormView::TakesInput(const Form& form) const {
  const qt::FormWindow* w = Find(form);
  if (!w || !w->window() || !w->window()->isEnabled()) return false;
  // A message box or chooser of the program keeps every window from input while it is open.
  QWidget* modal = QApplication::activeModalWidget();
  return !modal || modal == w->window();
}

void QtFormView::ShowPopupMenu(Form& form, Control& menu) {
  if (qt::FormWindow* w = Find(form)) w->ShowPopup(menu);
}

TextSize QtFormView::MeasureText(const Font& font, const std::string& text) {
  const QFontMetrics fm(qt::QFontOf(font));
  if (text.empty()) return {0, (fm.height() * 1440 + Dpi() - 1) / Dpi()};
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // Laid out as a label draws it: each line whole, tabs expanded, "&" as an access key.
  const QRect r = fm.boundingRect(QRect(0, 0, 0, 0), Qt::TextExpandTabs | Qt::TextHideMnemonic,
                                  shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
                                      .remove('&')
                                      .replace(QChar(1), QChar('&')));
  // Rounded up, so that the label placed from these twips is never a pixel short.
  auto twips = [](int pixels) { return (pixels * 1440 + Dpi() - 1) / Dpi(); };
  return {twips(r.width() + 1), twips(r.height())};
}

void QtFormView::SetLook(Look look) {
  if (look == look_) return;
  look_ = look;
  trace_.Line("window.look", {look == Look::kDark ? "dark" : "system"});
  if (look == Look::kDark) {
    // The dark palette needs a style that paints with the palette alone.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
  } else {
    if (!systemStyle_.empty())
      QApplication::setStyle(QStyleFactory::create(QString::fromStdString(systemStyle_)));
    QApplication::setPalette(systemPalette_);
  }
  for (const auto& w : windows_) w->ApplyLook();
}

std::vector<const Form*> QtFormView::Forms() const {
  std::vector<const Form*> out;
  for (const auto& w : windows_) out.push_back(&w->form());
  return out;
}

const Control* QtFormView::FindControl(const Form& form, const std::string& id) const {
  for (const auto& c : form.controls()) {
    if (c->Id() == id) return c.get();
  }
  return nullptr;
}

const char* QtFormView::Unreachable(const Form& form, const std::string& id) const {
  const qt::FormWindow* w = Find(form);
  const Control* c = FindControl(form, id);
  if (!w || !c) return "missing";
  return w->Unreachable(*c);
}

bool QtFormView::Invoke(const std::string& form, const std::string& id) {
  qt::FormWindow* window = nullptr;
  for (const auto& w : windows_) {
    if (w->form().name() == form) window = w.get();
  }
  Control* target = nullptr;
  if (window) {
    for (const auto& c : window->form().controls()) {
      if (c->Id() == id) target = c.get();
    }
  }
  if (!target) {
    trace_.Line("invoke.refused", {form, id, "missing"});
    return false;
  }
  return window->Press(*target, "invoke.refused");
}

}  // namespace unw
