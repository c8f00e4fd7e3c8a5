#include "backends/qt/form_window_qt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "backends/qt/chart_qt.h"
#include "backends/qt/form_view_qt.h"
#include "backends/qt/pictures_qt.h"

namespace unw::qt {

namespace {

QColor ColorOf(uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A frame this flat is a line across the window, not a box.
bool IsLine(const Control& c) {
  return c.kind() == ControlKind::kFrame && c.height() <= 30;
}

// The top-level widget: closing asks the form, a minimize tells it.
class WindowWidget : public QWidget {
 public:
  WindowWidget(FormWindow& owner, Qt::WindowFlags flags) : QWidget(nullptr, flags), owner_(owner) {}
  bool applying = false;

 protected:
  void closeEvent(QCloseEvent* e) override {
    // The form decides: it unloads (and the window goes with it) or stays.
    e->ignore();
    if (owner_.dead()) return;
    owner_.Guarded([this] { owner_.form().UserClose(); });
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || applying || owner_.dead() ||
        !owner_.form().visible())
      return;
    const Qt::WindowStates s = windowState();
    const WindowState state = (s & Qt::WindowMinimized)   ? WindowState::kMinimized
                              : (s & Qt::WindowMaximized) ? WindowState::kMaximized
                                                          : WindowState::kNormal;
    if (state == owner_.form().windowState()) return;
    owner_.Guarded([this, state] { owner_.form().UserSetWindowState(state); });
  }

 private:
  FormWindow& owner_;
};

// Check boxes and options are not automatic: the model's Click decides the new value.
class CheckWidget : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};
class OptionWidget : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
};

// Labels, pictures and images: a click is the control's Click; a picture shows its picture or
// its chart, whose bars are chosen by a click or with the keys.
class PictureWidget : public QWidget {
 public:
  PictureWidget(FormWindow& owner, Control& c, QWidget* parent)
      : QWidget(parent), owner_(owner), c_(c) {
    if (c.onChartClick) setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (!c_.chart().bars.empty()) {
      p.setFont(font());
      DrawChart(p, rect(), c_.chart(), palette(), hasFocus());
      return;
    }
    const int side = std::min(width(), height());
    if (side <= 0 || c_.picture().empty()) return;
    const QPixmap pm = PicturePixmap(c_.picture(), side, isEnabled());
    p.drawPixmap((width() - side) / 2, (height() - side) / 2, pm);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || owner_.dead()) return;
    if (!c_.chart().bars.empty()) {
      const int bar = ChartBarAt(QFontMetrics(font()), rect(), c_.chart(), e->position().toPoint());
      owner_.Guarded([this, bar] { c_.ChartClick(bar); });
      return;
    }
    owner_.Press(c_, "command.refused");
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (c_.chart().bars.empty() || !c_.onChartClick) return QWidget::keyPressEvent(e);
    ChartStep step;
    switch (e->key()) {
      case Qt::Key_Left:
        step = ChartStep::kPrevious;
        break;
      case Qt::Key_Right:
        step = ChartStep::kNext;
        break;
      case Qt::Key_Home:
        step = ChartStep::kFirst;
        break;
      case Qt::Key_End:
        step = ChartStep::kLast;
        break;
      default:
        return QWidget::keyPressEvent(e);
    }
    owner_.Guarded([this, step] { c_.ChartKey(step); });
  }
  void focusInEvent(QFocusEvent* e) override {
    QWidget::focusInEvent(e);
    update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QWidget::focusOutEvent(e);
    update();
  }

 private:
  FormWindow& owner_;
  Control& c_;
};

class LabelWidget : public QLabel {
 public:
  LabelWidget(FormWindow& owner, Control& c, QWidget* parent)
      : QLabel(parent), owner_(owner), c_(c) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && !owner_.dead() && c_.onClick)
      owner_.Press(c_, "command.refused");
  }

 private:
  FormWindow& owner_;
  Control& c_;
};

}  // namespace

QString PlainCaption(const std::string& caption) {
  QString out;
  const QString text = QString::fromStdString(caption);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" shows one "&"
    out += text[i];
  }
  return out;
}

QFont QFontOf(const Font& font) {
  QFont f = QApplication::font();
  // The model's fonts are named as on Windows; where the desktop has no such face it picks its
  // nearest, and the sans serif of Windows' dialogs is the desktop's own.
  if (font.name != "MS Sans Serif" && font.name != "MS Shell Dlg" &&
      font.name != "Microsoft Sans Serif")
    f.setFamily(QString::fromStdString(font.name));
  f.setPointSizeF(font.size > 0 ? font.size : 8.25);
  f.setWeight(static_cast<QFont::Weight>(std::clamp(font.bold ? 700 : font.weight, 100, 900)));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikethrough);
  return f;
}

TextSize QtTextRoom::Needs(const Control& c, int wrapWidth) {
  // A picture button shows its picture alone (its caption is its tooltip).
  if (!HoldsText(c) || (c.kind() == ControlKind::kButton && !c.picture().empty())) return {};
  const Font& f = c.font();
  auto key =
      std::make_tuple(static_cast<int>(c.kind()), f.name, static_cast<int>(f.size * 100),
                      (f.italic ? 2 : 0) + (f.bold ? 1 : 0) + f.weight * 4, c.caption(), wrapWidth);
  if (auto it = known_.find(key); it != known_.end()) return it->second;
  const QStyle* style = QApplication::style();
  auto metric = [style](QStyle::PixelMetric m) { return std::max(0, style->pixelMetric(m)); };
  // What the widget draws round its text: the box or circle and the gap to the text with the
  // focus frame; a button's margins and frame; a frame's caption indent at each end.
  int chromeW = 0, chromeH = 0;
  switch (c.kind()) {
    case ControlKind::kCheckBox:
    case ControlKind::kOption: {
      // As the style sizes the box or circle, the gap and the focus frame: a widget of the kind
      // with the text, asked what it needs, less the text.
      QAbstractButton* probe;
      if (c.kind() == ControlKind::kCheckBox) {
        if (!check_) check_ = std::make_unique<QCheckBox>();
        probe = check_.get();
      } else {
        if (!option_) option_ = std::make_unique<QRadioButton>();
        probe = option_.get();
      }
      probe->setFont(QFontOf(f));
      probe->setText(QStringLiteral("x"));
      chromeW = probe->sizeHint().width() - QFontMetrics(probe->font()).horizontalAdvance('x');
      chromeH = 2;
      break;
    }
    case ControlKind::kButton:
      chromeW = 2 * (metric(QStyle::PM_ButtonMargin) + metric(QStyle::PM_DefaultFrameWidth)) + 4;
      chromeH = 2 * metric(QStyle::PM_DefaultFrameWidth) + 4;
      break;
    case ControlKind::kFrame:
      chromeW = 20;
      break;
    default:
      break;
  }
  const QFontMetrics fm(QFontOf(f));
  const QString text = PlainCaption(c.caption());
  QSize px;
  if (wrapWidth > 0) {
    const int wrap = std::max(1, QtFormView::Pixels(wrapWidth) - chromeW);
    px = fm.boundingRect(QRect(0, 0, wrap, 1 << 20), Qt::TextWordWrap, text).size();
  } else {
    // As the widgets measure their own texts (lines and access keys alike).
    px = fm.size(Qt::TextShowMnemonic, QString::fromStdString(c.caption()));
  }
  // Rounded up, so that the widget placed from these twips is never a pixel short.
  const int dpi = QtFormView::Dpi();
  auto twips = [dpi](int pixels) { return (pixels * 1440 + dpi - 1) / dpi; };
  const TextSize need{twips(px.width() + chromeW), twips(px.height() + chromeH)};
  // Bounded: a countdown's caption is new every second.
  if (known_.size() >= 1024) known_.clear();
  known_.emplace(std::move(key), need);
  return need;
}

FormWindow::FormWindow(QtFormView& view, Form& form, Trace& trace)
    : view_(view), form_(form), trace_(trace) {}

FormWindow::~FormWindow() {
  Destroy();
}

void FormWindow::Guarded(const std::function<void()>& call) {
  ++busy_;
  call();
  if (--busy_ == 0 && dead_) view_.Reap(this);  // may free this object
}

QWidget* FormWindow::Create() {
  window_ = std::make_unique<WindowWidget>(*this, Qt::Window);
  window_->setObjectName(QString::fromStdString(form_.name()));
  window_->setAttribute(Qt::WA_DeleteOnClose, false);
  client_ = new QWidget(window_.get());
  client_->setObjectName(QStringLiteral("client"));
  client_->setAutoFillBackground(true);
  CreateMenus();
  for (const auto& c : form_.controls()) CreateControl(*c);
  Refit();
  for (const auto& c : form_.controls()) {
    // Each control starts as the model has it.
    if (widgets_.count(c.get())) {
      Place(*c);
      ShowCaption(*c);
      ShowValue(*c);
    }
  }
  window_->setWindowTitle(QString::fromStdString(form_.caption()));
  window_->setFont(QFontOf(form_.font()));
  ApplyFlags();
  ApplyColors();
  FitAndPlace(true);
  trace_.Line("window.load", {form_.name()});
  return window_.get();
}

void FormWindow::Destroy() {
  if (!window_) return;
  dead_ = true;
  window_->hide();
  // The menus and widgets live on with the object while a call of theirs may still be
  // returning; the view frees it afterwards.
  if (busy_ == 0) {
    widgets_.clear();
    controls_.clear();
    actions_.clear();
    menus_.clear();
    window_.reset();
  }
}

QWidget* FormWindow::ParentOf(const Control& c) const {
  if (c.parent()) {
    auto it = widgets_.find(c.parent());
    if (it != widgets_.end() && it->second) return it->second;
  }
  return client_;
}

void FormWindow::CreateControl(Control& c) {
  QWidget* parent = ParentOf(c);
  QWidget* w = nullptr;
  switch (c.kind()) {
    case ControlKind::kButton: {
      auto* b = new QPushButton(parent);
      b->setAutoDefault(false);
      b->setDefault(c.isDefaultButton());
      QObject::connect(b, &QPushButton::clicked, [this, &c] { Press(c, "command.refused"); });
      w = b;
      break;
    }
    case ControlKind::kLabel:
      w = new LabelWidget(*this, c, parent);
      break;
    case ControlKind::kTextBox: {
      auto* e = new QLineEdit(parent);
      QObject::connect(e, &QLineEdit::textEdited, [this, &c](const QString& text) {
        if (!dead_) Guarded([&c, text] { c.SetText(text.toStdString()); });
      });
      w = e;
      break;
    }
    case ControlKind::kCheckBox: {
      auto* b = new CheckWidget(parent);
      b->setTristate(true);
      QObject::connect(b, &QAbstractButton::clicked, [this, &c] { Press(c, "command.refused"); });
      w = b;
      break;
    }
    case ControlKind::kOption: {
      auto* b = new OptionWidget(parent);
      b->setAutoExclusive(false);
      QObject::connect(b, &QAbstractButton::clicked, [this, &c] { Press(c, "command.refused"); });
      w = b;
      break;
    }
    case ControlKind::kComboBox: {
      auto* box = new QComboBox(parent);
      QObject::connect(box, &QComboBox::currentIndexChanged, [this, &c](int i) {
        if (applying_ || dead_) return;
        Guarded([&c, i] { c.Select(i >= 0 && i < static_cast<int>(c.items().size()) ? i : -1); });
      });
      w = box;
      break;
    }
    case ControlKind::kListBox: {
      auto* list = new QListWidget(parent);
      QObject::connect(list, &QListWidget::currentRowChanged, [this, &c](int i) {
        if (applying_ || dead_) return;
        Guarded([&c, i] { c.Select(i >= 0 && i < static_cast<int>(c.items().size()) ? i : -1); });
      });
      w = list;
      break;
    }
    case ControlKind::kFrame:
      if (IsLine(c)) {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        w = line;
      } else {
        w = new QGroupBox(parent);
      }
      break;
    case ControlKind::kPicture:
    case ControlKind::kImage:
      w = new PictureWidget(*this, c, parent);
      break;
    case ControlKind::kTimer:
    case ControlKind::kMenu:
    case ControlKind::kMenuSeparator:
      return;
  }
  w->setObjectName(QString::fromStdString(c.Id()));
  widgets_[&c] = w;
  controls_[w] = &c;
}

void FormWindow::CreateMenus() {
  // A menu with items under it is a menu; the rest are its items. Top-level menus shown are the
  // menu bar; hidden ones open as popup menus (the tray's).
  std::map<const Control*, bool> hasItems;
  for (const auto& c : form_.controls()) {
    if (c->parent() &&
        (c->kind() == ControlKind::kMenu || c->kind() == ControlKind::kMenuSeparator))
      hasItems[c->parent()] = true;
  }
  for (const auto& ptr : form_.controls()) {
    Control& c = *ptr;
    if (c.kind() != ControlKind::kMenu && c.kind() != ControlKind::kMenuSeparator) continue;
    QMenu* parentMenu = nullptr;
    if (c.parent()) {
      auto it = menus_.find(c.parent());
      if (it == menus_.end()) continue;
      parentMenu = it->second;
    }
    if (hasItems.count(&c) || !c.parent()) {
      auto* menu = new QMenu(window_.get());
      menu->setObjectName(QString::fromStdString(c.Id()));
      // An item's own tip (why it is not offered) shows; the others have none to show.
      menu->setToolTipsVisible(true);
      menus_[&c] = menu;
      QAction* a = menu->menuAction();
      a->setObjectName(QString::fromStdString(c.Id()));
      actions_[&c] = a;
      if (parentMenu) {
        parentMenu->addMenu(menu);
      } else if (c.visible()) {
        if (!bar_) {
          bar_ = new QMenuBar(window_.get());
          bar_->setObjectName(QStringLiteral("menubar"));
        }
        bar_->addMenu(menu);
      }
    } else {
      QAction* a = parentMenu->addAction(QString());
      a->setObjectName(QString::fromStdString(c.Id()));
      if (c.kind() == ControlKind::kMenuSeparator) a->setSeparator(true);
      QObject::connect(a, &QAction::triggered, [this, &c] { Press(c, "command.refused"); });
      actions_[&c] = a;
    }
    ShowMenuItem(c);
  }
}

void FormWindow::ShowMenuItem(Control& c) {
  auto it = actions_.find(&c);
  if (it == actions_.end()) return;
  QAction* a = it->second;
  a->setText(QString::fromStdString(c.caption()));
  a->setVisible(c.visible() || !c.parent());
  a->setEnabled(c.enabled());
  a->setToolTip(QString::fromStdString(c.toolTip()));
  a->setCheckable(c.checked());
  a->setChecked(c.checked());
  QFont f = a->font();
  f.setBold(c.isDefault());
  a->setFont(f);
  if (!c.shortcut().empty()) a->setShortcut(QKeySequence(QString::fromStdString(c.shortcut())));
  if (!c.parent() && bar_) {
    // A top-level menu hidden from the bar lives on as a popup menu.
    for (QAction* shown : bar_->actions()) {
      if (shown == a) a->setVisible(c.visible());
    }
    // The bar is as high as its captions need, now that they may have come.
    if (bar_->sizeHint().height() != menuHeight_ && !applying_) FitAndPlace(false);
  }
}

void FormWindow::Place(Control& c) {
  auto it = widgets_.find(&c);
  if (it == widgets_.end() || !it->second) return;
  QWidget* w = it->second;
  Box box{c.left(), c.top(), c.width(), c.height()};
  const auto& controls = form_.controls();
  if (fitted_.boxes.size() == controls.size()) {
    for (size_t i = 0; i < controls.size(); ++i) {
      if (controls[i].get() == &c) box = fitted_.boxes[i];
    }
  }
  const int left = QtFormView::Pixels(box.left), top = QtFormView::Pixels(box.top);
  int width = QtFormView::Pixels(box.width), height = QtFormView::Pixels(box.height);
  if (IsLine(c)) height = 2;
  w->setGeometry(left, top, std::max(width, 1), std::max(height, 1));
  w->setVisible(c.visible());
  w->setEnabled(c.enabled());
  w->setFont(QFontOf(c.font()));
  w->setToolTip(QString::fromStdString(c.toolTip()));
}

void FormWindow::ShowCaption(Control& c) {
  QWidget* w = widgets_.count(&c) ? widgets_[&c].data() : nullptr;
  if (!w) return;
  const QString caption = QString::fromStdString(c.caption());
  switch (c.kind()) {
    case ControlKind::kButton:
      ShowPicture(c);
      break;
    case ControlKind::kLabel: {
      auto* l = static_cast<QLabel*>(w);
      l->setText(PlainCaption(c.caption()));
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      // A caption of one word never wraps; sentences wrap at the label's width.
      l->setWordWrap(c.caption().find_first_of(" \t\r\n") != std::string::npos);
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      static_cast<QAbstractButton*>(w)->setText(caption);
      break;
    case ControlKind::kFrame:
      if (auto* g = dynamic_cast<QGroupBox*>(w)) g->setTitle(caption);
      break;
    default:
      break;
  }
}

void FormWindow::ShowPicture(Control& c) {
  QWidget* w = widgets_.count(&c) ? widgets_[&c].data() : nullptr;
  if (!w) return;
  if (c.kind() != ControlKind::kButton) {
    w->update();
    return;
  }
  auto* b = static_cast<QPushButton*>(w);
  if (c.picture().empty()) {
    b->setIcon(QIcon());
    b->setText(QString::fromStdString(c.caption()));
    return;
  }
  // A picture button shows its picture; its text is its tooltip.
  const int side = std::max(8, std::min(b->width(), b->height()) - 10);
  QIcon icon;
  icon.addPixmap(PicturePixmap(c.picture(), side, true), QIcon::Normal);
  icon.addPixmap(PicturePixmap(c.picture(), side, false), QIcon::Disabled);
  b->setIcon(icon);
  b->setIconSize(QSize(side, side));
  b->setText(QString());
}

void FormWindow::ShowValue(Control& c) {
  QWidget* w = widgets_.count(&c) ? widgets_[&c].data() : nullptr;
  if (!w) return;
  const bool was = applying_;
  applying_ = true;
  switch (c.kind()) {
    case ControlKind::kCheckBox:
      static_cast<QCheckBox*>(w)->setCheckState(c.value() == 1   ? Qt::Checked
                                                : c.value() == 2 ? Qt::PartiallyChecked
                                                                 : Qt::Unchecked);
      break;
    case ControlKind::kOption:
      static_cast<QRadioButton*>(w)->setChecked(c.value() != 0);
      break;
    case ControlKind::kComboBox:
    case ControlKind::kListBox:
      ShowItems(c);
      break;
    case ControlKind::kTextBox: {
      auto* e = static_cast<QLineEdit*>(w);
      const QString text = QString::fromStdString(c.text());
      if (e->text() != text) e->setText(text);
      e->setMaxLength(c.maxLength() > 0 ? c.maxLength() : 32767);
      e->setReadOnly(c.locked());
      break;
    }
    default:
      break;
  }
  applying_ = was;
}

void FormWindow::ShowItems(Control& c) {
  QWidget* w = widgets_[&c];
  QStringList items;
  for (const auto& item : c.items()) items << QString::fromStdString(item);
  const bool was = applying_;
  applying_ = true;
  if (auto* box = qobject_cast<QComboBox*>(w)) {
    QStringList now;
    for (int i = 0; i < box->count(); ++i) now << box->itemText(i);
    if (now != items) {
      box->clear();
      box->addItems(items);
    }
    box->setCurrentIndex(c.value());
  } else if (auto* list = qobject_cast<QListWidget*>(w)) {
    QStringList now;
    for (int i = 0; i < list->count(); ++i) now << list->item(i)->text();
    if (now != items) {
      list->clear();
      list->addItems(items);
    }
    list->setCurrentRow(c.value());
  }
  applying_ = was;
}

void FormWindow::ControlChanged(Control& c, Prop what) {
  if (dead_) return;
  if (c.kind() == ControlKind::kMenu || c.kind() == ControlKind::kMenuSeparator) {
    ShowMenuItem(c);
    return;
  }
  QWidget* w = widgets_.count(&c) ? widgets_[&c].data() : nullptr;
  if (!w) return;
  switch (what) {
    case Prop::kCaption:
      ShowCaption(c);
      // A longer text may need more room: the controls beside it make way, the form grows.
      if (HoldsText(c) && Refit()) {
        PlaceAll();
        FitAndPlace(false);
      }
      break;
    case Prop::kToolTip:
      w->setToolTip(QString::fromStdString(c.toolTip()));
      break;
    case Prop::kEnabled:
      w->setEnabled(c.enabled());
      break;
    case Prop::kVisible:
      w->setVisible(c.visible());
      break;
    case Prop::kBounds:
      if (Refit()) {
        PlaceAll();
        FitAndPlace(false);
      } else {
        Place(c);
        if (c.kind() == ControlKind::kButton) ShowPicture(c);
      }
      break;
    case Prop::kFont:
      w->setFont(QFontOf(c.font()));
      if (Refit()) {
        PlaceAll();
        FitAndPlace(false);
      }
      break;
    case Prop::kValue:
    case Prop::kText:
    case Prop::kItems:
    case Prop::kMaxLength:
    case Prop::kLocked:
      ShowValue(c);
      break;
    case Prop::kSelection:
      if (auto* e = qobject_cast<QLineEdit*>(w)) e->setSelection(c.selStart(), c.selLength());
      break;
    case Prop::kFocus:
      w->setFocus(Qt::OtherFocusReason);
      break;
    case Prop::kPicture:
      ShowPicture(c);
      break;
    case Prop::kChart:
      w->update();
      break;
    case Prop::kChecked:
    case Prop::kDefault:
    case Prop::kInterval:
      break;
  }
}

void FormWindow::ApplyFlags() {
  Qt::WindowFlags flags = Qt::Window;
  if (form_.coverArea()) {
    // Above every window, out of the task bar, without a frame.
    flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
  } else if (form_.borderStyle() == BorderStyle::kNone) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (form_.hasControlBox()) {
      flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      if (form_.hasMinButton()) flags |= Qt::WindowMinimizeButtonHint;
      if (form_.hasMaxButton()) flags |= Qt::WindowMaximizeButtonHint;
    }
    if (!form_.showInTaskbar()) flags = (flags & ~Qt::Window) | Qt::Dialog;
  }
  if (window_->windowFlags() & Qt::WindowStaysOnTopHint) flags |= Qt::WindowStaysOnTopHint;
  window_->setWindowFlags(flags);
}

void FormWindow::ApplyColors() {
  QPalette palette = QApplication::palette();
  const auto& colors = form_.colors();
  if (colors && !colors->system) {
    palette.setColor(QPalette::Window, ColorOf(colors->back));
    palette.setColor(QPalette::WindowText, ColorOf(colors->text));
  }
  window_->setPalette(palette);
  client_->setPalette(palette);
  window_->setWindowOpacity(colors ? colors->alpha / 255.0 : 1.0);
}

bool FormWindow::Refit() {
  int maxW = 1 << 20, maxH = 1 << 20;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect work = screen->availableGeometry();
    const int dpi = QtFormView::Dpi();
    maxW = work.width() * 1440 / dpi;
    maxH = std::max(0, work.height() - menuHeight_) * 1440 / dpi;
  }
  FittedForm fitted = FitTexts(form_, room_, maxW, maxH);
  if (fitted == fitted_) return false;
  fitted_ = std::move(fitted);
  return true;
}

void FormWindow::PlaceAll() {
  for (const auto& c : form_.controls()) {
    if (widgets_.count(c.get())) {
      Place(*c);
      if (c->kind() == ControlKind::kButton) ShowPicture(*c);
    }
  }
}

void FormWindow::FitAndPlace(bool center) {
  const bool fitted = fitted_.boxes.size() == form_.controls().size();
  int width = QtFormView::Pixels(fitted ? fitted_.width : form_.width());
  int height = QtFormView::Pixels(fitted ? fitted_.height : form_.height());
  if (const auto& area = form_.coverArea()) {
    // The design's block of controls, centred in the area it covers.
    const QRect cover(area->left, area->top, area->right - area->left, area->bottom - area->top);
    window_->setFixedSize(cover.size());
    window_->move(cover.topLeft());
    client_->setGeometry((cover.width() - width) / 2, (cover.height() - height) / 2, width, height);
    return;
  }
  int menuHeight = 0;
  if (bar_) {
    // The menu bar takes the height its captions need above the client area (the frame is the
    // window manager's, so a size given with the frame loses only the bar).
    menuHeight = bar_->sizeHint().height();
    if (form_.sizeIsOuter()) height -= menuHeight;
    // The window's layout keeps the bar above the client area (setMenuBar).
    if (!window_->layout()) {
      auto* layout = new QVBoxLayout(window_.get());
      layout->setContentsMargins(0, 0, 0, 0);
      layout->setSpacing(0);
      layout->setMenuBar(bar_);
      layout->addWidget(client_);
    }
    client_->setFixedSize(width, height);
  } else {
    client_->setGeometry(0, 0, width, height);
  }
  menuHeight_ = menuHeight;
  if (form_.borderStyle() == BorderStyle::kSizable) {
    window_->setMinimumSize(0, 0);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(width, height + menuHeight);
  } else {
    window_->setFixedSize(width, height + menuHeight);
  }
  if (!center && placed_) return;
  QRect area;
  if (const auto& in = form_.centerArea()) {
    area = QRect(in->left, in->top, in->right - in->left, in->bottom - in->top);
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) {
    window_->move(area.left() + (area.width() - width) / 2,
                  area.top() + (area.height() - height - menuHeight) / 2);
    placed_ = true;
  }
}

void FormWindow::ApplyVisible() {
  if (!form_.visible()) {
    window_->hide();
    return;
  }
  // A window that opens by itself comes up on top but leaves the keyboard where it is.
  window_->setAttribute(Qt::WA_ShowWithoutActivating, !form_.activateOnShow());
  if (form_.centerArea() && !window_->isVisible()) FitAndPlace(true);
  ApplyWindowState();
  if (form_.activateOnShow() && form_.windowState() != WindowState::kMinimized) {
    window_->raise();
    window_->activateWindow();
  }
  trace_.Line("window.show", {form_.name(), form_.activateOnShow() ? "1" : "0"});
}

void FormWindow::ApplyWindowState() {
  auto* w = static_cast<WindowWidget*>(window_.get());
  const bool was = w->applying;
  w->applying = true;
  switch (form_.windowState()) {
    case WindowState::kNormal:
      w->showNormal();
      break;
    case WindowState::kMinimized:
      w->showMinimized();
      break;
    case WindowState::kMaximized:
      w->showMaximized();
      break;
  }
  w->applying = was;
}

void FormWindow::FormChanged(FormProp what) {
  if (dead_) return;
  switch (what) {
    case FormProp::kVisible:
      ApplyVisible();
      break;
    case FormProp::kWindowState:
      if (form_.visible()) ApplyWindowState();
      break;
    case FormProp::kCaption:
      window_->setWindowTitle(QString::fromStdString(form_.caption()));
      break;
    case FormProp::kBounds: {
      const bool visible = window_->isVisible();
      const bool cover = form_.coverArea().has_value();
      if (cover != bool(window_->windowFlags() & Qt::FramelessWindowHint)) ApplyFlags();
      if (Refit()) PlaceAll();
      FitAndPlace(false);
      if (visible && !window_->isVisible()) ApplyVisible();
      break;
    }
    case FormProp::kColors:
      ApplyColors();
      break;
    case FormProp::kFont:
      window_->setFont(QFontOf(form_.font()));
      break;
    case FormProp::kIcon:
      break;
  }
}

void FormWindow::ApplyLook() {
  if (dead_) return;
  ApplyColors();
  for (auto& [c, w] : widgets_) {
    if (w) w->setPalette(QApplication::palette());
  }
  window_->update();
}

const char* FormWindow::Unreachable(const Control& c) const {
  // A window kept from input by a modal window of the program (or a message box or chooser)
  // takes no click; one hidden or minimized shows nothing to click.
  const bool takesInput = view_.TakesInput(form_);
  const bool onScreen = window_ && window_->isVisible() && !window_->isMinimized();
  if (c.kind() == ControlKind::kMenu || c.kind() == ControlKind::kMenuSeparator) {
    const Control* top = &c;
    while (top->parent()) top = top->parent();
    if (!c.visible()) return "hidden";
    for (const Control* p = &c; p; p = p->parent()) {
      if (!p->enabled()) return "disabled";
    }
    // A hidden top-level menu opens as a popup menu (the tray's) whenever its window takes
    // input, shown or not; the menu bar is on the window.
    if (top->visible() && !onScreen) return "hidden";
    return takesInput ? nullptr : "blocked";
  }
  for (const Control* p = &c; p; p = p->parent()) {
    if (!p->visible()) return "hidden";
    if (!p->enabled()) return "disabled";
  }
  if (!onScreen) return "hidden";
  return takesInput ? nullptr : "blocked";
}

bool FormWindow::Press(Control& c, const char* event) {
  if (dead_) return false;
  if (const char* refused = Unreachable(c)) {
    trace_.Line(event, {form_.name(), c.Id(), refused});
    // The widget shows what the model says, not what the toolkit made of the click.
    ShowValue(c);
    return false;
  }
  Guarded([&c] { c.Click(); });
  return true;
}

void FormWindow::ShowPopup(Control& menu) {
  auto it = menus_.find(&menu);
  if (dead_ || it == menus_.end()) return;
  for (const auto& c : form_.controls()) {
    if (c->kind() == ControlKind::kMenu || c->kind() == ControlKind::kMenuSeparator)
      ShowMenuItem(*c);
  }
  trace_.Line("menu.popup", {form_.name(), menu.name()});
  // Held like a call from the toolkit: the form may be unloaded while the menu is open (a timer,
  // a chosen item), and its menus must outlive the loop.
  Guarded([&] { it->second->exec(QCursor::pos()); });
}

QMenu* FormWindow::PopupMenu() const {
  if (dead_) return nullptr;
  for (const auto& c : form_.controls()) {
    if (c->kind() != ControlKind::kMenu || c->parent() || c->visible()) continue;
    auto it = menus_.find(c.get());
    if (it != menus_.end()) return it->second;
  }
  return nullptr;
}

Control* FormWindow::ControlOf(const QObject* widget) const {
  for (const QObject* o = widget; o; o = o->parent()) {
    auto it = controls_.find(o);
    if (it != controls_.end()) return it->second;
  }
  return nullptr;
}

bool FormWindow::FilterInput(QObject* target, QEvent* event) {
  if (dead_) return false;
  const QEvent::Type type = event->type();
  if (type == QEvent::FocusIn) {
    if (Control* c = ControlOf(target); c && widgets_[c] == target) Guarded([c] { c->GotFocus(); });
    return false;
  }
  if (type == QEvent::MouseButtonPress) {
    Guarded([this] { form_.UserInput(); });
    return dead_;
  }
  if (type != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  Guarded([this] { form_.UserInput(); });
  if (dead_) return true;
  Control* c = ControlOf(target);
  if (c && c->kind() == ControlKind::kTextBox && !key->text().isEmpty() &&
      key->text().at(0).unicode() >= 0x20 && c->onKeyPress) {
    // The model may take the key (0) before the box sees it.
    int ascii = key->text().at(0).unicode();
    Guarded([c, &ascii] { c->KeyPress(ascii); });
    if (ascii == 0) return true;
  }
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  const bool escape = key->key() == Qt::Key_Escape;
  if (!enter && !escape) return false;
  if (enter && c && c->kind() == ControlKind::kButton) {
    Press(*c, "command.refused");
    return true;
  }
  for (const auto& ptr : form_.controls()) {
    Control& b = *ptr;
    if (b.kind() != ControlKind::kButton) continue;
    if ((enter && b.isDefaultButton()) || (escape && b.isCancelButton())) {
      if (Unreachable(b)) continue;
      Press(b, "command.refused");
      return true;
    }
  }
  return false;
}

}  // namespace unw::qt
