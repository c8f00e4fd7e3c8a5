#include "backends/win32/form_window.h"

#include <algorithm>

#include "backends/win32/automation.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/icons_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/taskbar_win32.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/window_life.h"
#include "backends/win32/win32_util.h"

namespace unw {

namespace {

// A covering window's own colours (0xRRGGBB), or the system's in a high-contrast theme.
COLORREF CoverBack(const Form::Colors& c) {
  if (c.system) return GetSysColor(COLOR_WINDOW);
  return RGB((c.back >> 16) & 0xFF, (c.back >> 8) & 0xFF, c.back & 0xFF);
}
COLORREF CoverText(const Form::Colors& c) {
  if (c.system) return GetSysColor(COLOR_WINDOWTEXT);
  return RGB((c.text >> 16) & 0xFF, (c.text >> 8) & 0xFF, c.text & 0xFF);
}

constexpr wchar_t kFormClass[] = L"UnwindleForm";
// WM_DPICHANGED, spelled out: the headers only declare it for newer targets.
constexpr UINT kWmDpiChanged = 0x02E0;
// The DPIs a window may be given: from half of 100 % to 800 %, wider than the 100-500 % Windows
// offers and the 96-480 Wine's settings offer, narrow enough that a form's twips stay a size a
// monitor can show.
constexpr UINT kMinDpi = 48, kMaxDpi = 768;

// The class icons, drawn once per run.
win32::ScopedIcon classIcon;
win32::ScopedIcon classIconSmall;

// Restores a flag on leaving the scope, so nested uses keep it set.
class Applying {
 public:
  explicit Applying(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Applying() { flag_ = was_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

FormWindow::FormWindow(Win32FormView& view, Form& form, Trace& trace)
    : view_(view), form_(form), trace_(trace), controls_(form, fonts_, view.theme()) {}

FormWindow::~FormWindow() {
  Destroy();
}

void FormWindow::RegisterClass() {
  // A wide class: its windows take and give their texts in UTF-16.
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  // Drawn at the sizes the caption, the task bar and Alt+Tab ask for.
  if (!classIcon) classIcon = win32::ProgramIcon(GetSystemMetrics(SM_CXICON));
  if (!classIconSmall) classIconSmall = win32::ProgramIcon(GetSystemMetrics(SM_CXSMICON));
  wc.hIcon = classIcon;
  wc.hIconSm = classIconSmall;
  RegisterClassExW(&wc);
}

void FormWindow::UnregisterClass() {
  if (!::UnregisterClassW(kFormClass, GetModuleHandleW(nullptr))) return;  // windows left
  classIcon.reset();
  classIconSmall.reset();
}

DWORD FormWindow::Style() const {
  DWORD style = WS_CLIPSIBLINGS;
  switch (form_.borderStyle()) {
    case BorderStyle::kNone:
      // Covering a monitor: nothing but the window.
      if (form_.coverArea()) return style | WS_POPUP;
      // No caption; a thin line keeps the window apart from what lies behind it.
      return style | WS_POPUP | WS_BORDER;
    case BorderStyle::kSizable:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
      break;
    case BorderStyle::kFixedSingle:
    case BorderStyle::kFixedDialog:
      style |= WS_OVERLAPPED | WS_CAPTION;
      break;
  }
  // The caption buttons need the window menu to be shown at all.
  if (form_.hasControlBox()) {
    style |= WS_SYSMENU;
    if (form_.hasMinButton()) style |= WS_MINIMIZEBOX;
    if (form_.hasMaxButton()) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

DWORD FormWindow::ExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (form_.borderStyle() == BorderStyle::kFixedDialog) ex |= WS_EX_DLGMODALFRAME;
  if (form_.showInTaskbar()) ex |= WS_EX_APPWINDOW;
  // Above every window, out of the task bar and Alt+Tab, drawn see-through by its alpha.
  if (form_.coverArea()) ex |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED;
  return ex;
}

HWND FormWindow::Create(HWND owner) {
  HWND created = nullptr;
  {
    win32::CreatingWindow creating(this);
    created = CreateWindowExW(ExStyle(), kFormClass, win32::Wide(form_.caption()).c_str(), Style(),
                              0, 0, 100, 100, owner, nullptr, GetModuleHandleW(nullptr), this);
  }
  if (!created) {
    hwnd_ = nullptr;
    return nullptr;
  }
  dpi_ = view_.forcedDpi() ? view_.forcedDpi() : win32::DpiOf(hwnd_);
  menus_ = std::make_unique<win32::MenuSet>(form_);
  Refit();
  controls_.Create(hwnd_, dpi_, ChildProc, reinterpret_cast<DWORD_PTR>(this));
  ApplyMenuBar();
  ApplyColors();
  FitClientArea();
  Center();
  if (view_.theme().own()) ApplyLook();
  win32::SetAutomationName(hwnd_, form_.name());
  trace_.Line("window.load", {form_.name()});
  return hwnd_;
}

void FormWindow::Destroy() {
  if (!hwnd_) return;
  controls_.ReleaseNames();
  win32::ClearAutomationName(hwnd_);
  // The menus belong to the menu set: keep DestroyWindow from freeing the bar.
  SetMenu(hwnd_, nullptr);
  shownBar_ = nullptr;
  win32::DestroyOwnWindow(hwnd_);
  hwnd_ = nullptr;
  // The menus and shortcuts live on with the object: a shortcut's or popup
  // menu's call may still be returning through them.
}

LRESULT CALLBACK FormWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    // Only the window's own creation binds it (a forged one would have us write our handle
    // through the sender's pointer).
    auto* created = static_cast<FormWindow*>(win32::CreatedObject(hwnd, lParam));
    if (!created) return FALSE;
    created->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  } else if (win32::ForgedLifeMessage(msg)) {
    return 0;
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  ++self->busy_;
  LRESULT result = self->Handle(msg, wParam, lParam);
  Leave(self);
  return result;
}

void FormWindow::Leave(FormWindow* self) {
  if (--self->busy_ == 0 && self->dead_) self->view_.Reap(self);
}

LRESULT CALLBACK FormWindow::ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR ref) {
  auto* self = reinterpret_cast<FormWindow*>(ref);
  // A control is created before it is subclassed and dies only with its window.
  if (win32::ForgedLifeMessage(msg)) return 0;
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ChildProc, id);
  if ((msg == WM_PAINT || msg == WM_NCPAINT) && !self->dead_ &&
      self->controls_.PaintsBorder(hwnd, msg == WM_NCPAINT)) {
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    self->controls_.PaintBorder(hwnd, msg == WM_NCPAINT);
    return result;
  }
  if ((msg == WM_PAINT || msg == WM_PRINTCLIENT) && !self->dead_ &&
      self->controls_.PaintsFrame(hwnd)) {
    if (msg == WM_PRINTCLIENT) {
      self->controls_.PaintFrame(hwnd, reinterpret_cast<HDC>(wParam));
    } else {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      self->controls_.PaintFrame(hwnd, dc);
      EndPaint(hwnd, &ps);
    }
    return 0;
  }
  if (msg == WM_LBUTTONDOWN && !self->dead_) {
    // On a chart the place of the click says which bar: it is the chart's click, not the
    // picture's. The chart takes the keyboard, so that the keys go on from there.
    const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    Control* c = self->controls_.ByWindow(hwnd);
    if (c && !c->chart().bars.empty()) {
      if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) ::SetFocus(hwnd);
      const int bar = self->controls_.ChartBarAt(hwnd, at);
      ++self->busy_;
      c->ChartClick(bar);
      Leave(self);
      return 0;
    }
  }
  if (const LRESULT handled = ChartKeys(self, hwnd, msg, wParam); handled >= 0) return handled;
  if (msg != WM_CHAR || self->dead_) return DefSubclassProc(hwnd, msg, wParam, lParam);
  Control* c = self->controls_.ByWindow(hwnd);
  if (!c) return DefSubclassProc(hwnd, msg, wParam, lParam);
  // The model sees the key first: it may change it, or swallow it with 0.
  int key = static_cast<int>(wParam);
  ++self->busy_;
  c->KeyPress(key);
  const bool gone = self->dead_ || !IsWindow(hwnd);
  Leave(self);
  if (gone || key == 0) return 0;
  return DefSubclassProc(hwnd, msg, static_cast<WPARAM>(key), lParam);
}

LRESULT FormWindow::ChartKeys(FormWindow* self, HWND hwnd, UINT msg, WPARAM wParam) {
  if (self->dead_) return -1;
  Control* c = self->controls_.ByWindow(hwnd);
  if (!c || c->kind() != ControlKind::kPicture || !c->onChartClick) return -1;
  switch (msg) {
    case WM_GETDLGCODE:
      // The arrows stay with the chart; Tab, Enter and Esc go on to the window.
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus frame comes and goes with the keyboard.
      InvalidateRect(hwnd, nullptr, FALSE);
      return -1;
    case WM_KEYDOWN: {
      ChartStep step;
      switch (wParam) {
        case VK_LEFT:
          step = ChartStep::kPrevious;
          break;
        case VK_RIGHT:
          step = ChartStep::kNext;
          break;
        case VK_HOME:
          step = ChartStep::kFirst;
          break;
        case VK_END:
          step = ChartStep::kLast;
          break;
        default:
          return -1;
      }
      ++self->busy_;
      c->ChartKey(step);
      Leave(self);
      return 0;
    }
    default:
      return -1;
  }
}

LRESULT FormWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == win32::InvokeMessage()) return OnInvoke(wParam);
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_DRAWITEM:
      if (controls_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_SETCURSOR: {
      // The hand over what opens something when clicked (the maker's address, the logo).
      HWND over = reinterpret_cast<HWND>(wParam);
      if (LOWORD(lParam) == HTCLIENT && over != hwnd_ && IsWindowEnabled(over) &&
          controls_.Clickable(over)) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_ERASEBKGND:
      if (backBrush_ || view_.theme().own()) {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc,
                 backBrush_ ? backBrush_.get() : view_.theme().Face());
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // On a covering window, also the clicks on its disabled buttons (they go to the parent).
      form_.UserInput();
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      HWND child = reinterpret_cast<HWND>(lParam);
      HDC dc = reinterpret_cast<HDC>(wParam);
      // A covering window's labels in its own colours.
      if (const auto& colors = form_.colors(); msg == WM_CTLCOLORSTATIC && colors && backBrush_) {
        SetTextColor(dc, CoverText(*colors));
        SetBkColor(dc, CoverBack(*colors));
        return reinterpret_cast<LRESULT>(backBrush_.get());
      }
      const win32::ThemePaint& theme = view_.theme();
      const Control* c = controls_.ByWindow(child);
      // A label that opens something looks like a link.
      if (msg == WM_CTLCOLORSTATIC && c && c->kind() == ControlKind::kLabel &&
          controls_.Clickable(child)) {
        SetTextColor(dc, theme.palette().link);
        SetBkColor(dc, theme.palette().face);
        return reinterpret_cast<LRESULT>(theme.Face());
      }
      // A read-only or disabled text box asks as a static control, and is still a field.
      const bool field =
          c && (c->kind() == ControlKind::kTextBox || c->kind() == ControlKind::kComboBox ||
                c->kind() == ControlKind::kListBox);
      if (HBRUSH brush = theme.ColorControl(field ? WM_CTLCOLOREDIT : msg, dc,
                                            IsWindowEnabled(child) != FALSE))
        return reinterpret_cast<LRESULT>(brush);
      break;
    }
    case WM_CLOSE:
      // The model decides: the main window only minimizes, for one.
      form_.UserClose();
      return 0;
    case WM_SIZE:
      OnSize(wParam);
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && view_.IsMain(*this)) form_.SessionEnding();
      return 0;
    case WM_ENTERMENULOOP:
      view_.MenuLoop(+1);
      break;
    case WM_EXITMENULOOP:
      view_.MenuLoop(-1);
      break;
    case WM_ACTIVATE:
      // Remember the focused control, to give the focus back on return.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      if (lastFocus_ && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_) &&
          IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case kWmDpiChanged:
      OnDpiChanged(wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void FormWindow::ApplyLook() {
  if (!hwnd_) return;
  const bool dark = view_.theme().own();
  win32::ApplyFrameLook(hwnd_, dark);
  controls_.ApplyLook();
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void FormWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT code = HIWORD(wParam);
  HWND child = reinterpret_cast<HWND>(lParam);
  if (!child) {
    // A menu item or its shortcut (code 1).
    Control* item = menus_ ? menus_->ByCommand(LOWORD(wParam)) : nullptr;
    if (item && Pressable(*item)) item->Click();
    return;
  }
  Control* c = controls_.ByWindow(child);
  if (!c) return;
  switch (c->kind()) {
    case ControlKind::kTextBox:
      if (code == EN_CHANGE && !controls_.settingText())
        c->SetText(win32::WindowText(child));
      else if (code == EN_SETFOCUS)
        c->GotFocus();
      break;
    case ControlKind::kComboBox:
      if (code == CBN_SELCHANGE) {
        // The list already shows the pick: the model's value comes back as the same selection,
        // which raises no second notification.
        const LRESULT i = SendMessageW(child, CB_GETCURSEL, 0, 0);
        c->Select(i >= 0 && static_cast<size_t>(i) < c->items().size() ? static_cast<int>(i) : -1);
      } else if (code == CBN_SETFOCUS) {
        c->GotFocus();
      }
      break;
    case ControlKind::kListBox:
      if (code == LBN_SELCHANGE) {
        const LRESULT i = SendMessageW(child, LB_GETCURSEL, 0, 0);
        c->Select(i >= 0 && static_cast<size_t>(i) < c->items().size() ? static_cast<int>(i) : -1);
      } else if (code == LBN_SETFOCUS) {
        c->GotFocus();
      }
      break;
    default:
      // An owner-drawn button turns a quick second click into a double
      // click; for the user it is a click all the same.
      if (code == BN_CLICKED || (code == BN_DOUBLECLICKED && c->kind() == ControlKind::kButton)) {
        if (Pressable(*c)) c->Click();
      } else if (code == BN_SETFOCUS)
        c->GotFocus();
      break;
  }
}

const char* FormWindow::Unreachable(const Control& c) const {
  // A window disabled by a modal window of the program (or a message box or chooser it owns)
  // takes no click; one hidden or minimized shows nothing to click.
  const bool takesInput = IsWindowEnabled(hwnd_);
  const bool onScreen = IsWindowVisible(hwnd_) && !IsIconic(hwnd_);
  if (c.kind() == ControlKind::kMenu || c.kind() == ControlKind::kMenuSeparator) {
    const Control* top = &c;
    while (top->parent()) top = top->parent();
    if (!c.visible()) return "hidden";
    if (!win32::MenuSet::Available(c)) return "disabled";
    // A hidden top-level menu opens as a popup menu (the tray's), whenever its window takes input,
    // shown or not; the menu bar is on the window.
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

bool FormWindow::Pressable(const Control& c) {
  const char* refused = Unreachable(c);
  if (refused) trace_.Line("command.refused", {form_.name(), c.Id(), refused});
  return !refused;
}

// Presses a control or menu item only when a person could: see Unreachable. The refusal answers
// 0 and is traced.
LRESULT FormWindow::OnInvoke(WPARAM atom) {
  const std::string id = win32::GlobalAtomText(atom);
  if (id.empty()) return 0;
  Control* target = nullptr;
  for (const auto& c : form_.controls()) {
    if (c->Id() == id) {
      target = c.get();
      break;
    }
  }
  const char* refused = target ? Unreachable(*target) : "missing";
  if (refused) {
    trace_.Line("invoke.refused", {form_.name(), id, refused});
    return 0;
  }
  // A driver that sent this waits for the answer: give it before the click,
  // which may open a modal window, so that the driver is not held behind it.
  if (InSendMessage()) ReplyMessage(1);
  target->Click();
  return 1;
}

void FormWindow::OnSize(WPARAM kind) {
  if (applying_ || !form_.visible()) return;
  switch (kind) {
    case SIZE_MINIMIZED:
      form_.UserSetWindowState(WindowState::kMinimized);
      break;
    case SIZE_MAXIMIZED:
      form_.UserSetWindowState(WindowState::kMaximized);
      break;
    case SIZE_RESTORED:
      form_.UserSetWindowState(WindowState::kNormal);
      break;
    default:
      break;
  }
}

void FormWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  // The system gives the window its new DPI, then tells it with a rectangle of its own. The same
  // message from anyone else (posted without a rectangle, with a DPI out of all range, or one the
  // window has not got) changes nothing. Where the system cannot say the window's DPI, the
  // message's is taken once it is in range.
  const UINT dpi = HIWORD(wParam);
  if (!lParam || LOWORD(wParam) != dpi || dpi < kMinDpi || dpi > kMaxDpi || dpi == dpi_ ||
      (win32::WindowDpiKnown() && win32::DpiOf(hwnd_) != dpi))
    return;
  const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
  dpi_ = dpi;
  Refit();
  controls_.Relayout(dpi_);
  // The size is the form's at the new DPI; of the suggestion only the place is taken, kept on
  // the monitor it names.
  FitClientArea();
  PlaceOnMonitor(suggested);
}

void FormWindow::PlaceOnMonitor(const RECT& suggested) {
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &mi)) return;
  const RECT& work = mi.rcWork;
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  const LONG w = wr.right - wr.left, h = wr.bottom - wr.top;
  const LONG x = std::max(work.left, std::min(suggested.left, work.right - w));
  const LONG y = std::max(work.top, std::min(suggested.top, work.bottom - h));
  Applying guard(applying_);
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::FormChanged(FormProp what) {
  if (!hwnd_) return;
  switch (what) {
    case FormProp::kVisible:
      Show(form_.visible());
      break;
    case FormProp::kWindowState:
      trace_.Line("window.state", {form_.name(), WindowStateName(form_.windowState())});
      // A hidden window takes its state when it is next shown.
      if (form_.visible()) ApplyState();
      break;
    case FormProp::kCaption:
      SetWindowTextW(hwnd_, win32::Wide(form_.caption()).c_str());
      break;
    case FormProp::kBounds:
      Refit();
      FitClientArea();
      break;
    case FormProp::kColors:
      ApplyColors();
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case FormProp::kFont:
    case FormProp::kIcon:
      // Each control carries its own font; the window icon is not drawn yet.
      break;
  }
}

void FormWindow::Show(bool visible) {
  Applying guard(applying_);
  if (!visible) {
    trace_.Line("window.hide", {form_.name()});
    // Give the input back first, so that the activation falls on them.
    view_.ReleaseModal(form_);
    ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  trace_.Line("window.show", {form_.name()});
  const bool main = view_.IsMain(*this);
  if (main) {
    // The tool style only served to keep a hidden window out of the task
    // list; shown, the window keeps its normal caption.
    LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    if (ex & WS_EX_TOOLWINDOW) {
      SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex & ~WS_EX_TOOLWINDOW);
      FitClientArea();
    }
  }
  const bool first = !placed_;
  if (first && !main) Center();
  if (form_.coverArea()) Cover();
  placed_ = true;
  const WindowState s = form_.windowState();
  // A window that opens by itself comes up without the keyboard: the program the user types
  // into keeps it. Its first control gets the focus once the user activates it (WM_SETFOCUS).
  const bool activate = form_.activateOnShow();
  ShowWindow(hwnd_, s == WindowState::kMinimized   ? SW_SHOWMINIMIZED
                    : s == WindowState::kMaximized ? SW_SHOWMAXIMIZED
                    : activate                     ? SW_SHOWNORMAL
                                                   : SW_SHOWNOACTIVATE);
  if (main && !view_.taskVisible()) win32::SetTaskbarTab(hwnd_, false);
  // A dialog opens with the focus on its first control that takes it. Given to a window that is
  // not active, the focus would take the keyboard from the user's program (and, under Wine, give
  // it to nobody).
  if (first && !main && s == WindowState::kNormal && !IsChild(hwnd_, GetFocus())) {
    if (HWND start = controls_.FirstTabStop()) {
      if (activate)
        SetFocus(start);
      else
        lastFocus_ = start;
    }
  }
}

void FormWindow::ApplyState() {
  Applying guard(applying_);
  switch (form_.windowState()) {
    case WindowState::kNormal:
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      break;
    case WindowState::kMinimized:
      if (!IsIconic(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
      break;
    case WindowState::kMaximized:
      if (!IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
      break;
  }
}

void FormWindow::ControlChanged(const Control& c, Prop what) {
  if (!hwnd_) return;
  if (c.kind() == ControlKind::kMenu || c.kind() == ControlKind::kMenuSeparator) {
    menus_->Refill();
    ApplyMenuBar();
    return;
  }
  // A longer caption, another font or a moved control may change the room the others need; the
  // window changes its size only when the form's room for them did (a size the user gave it stays).
  if (what == Prop::kCaption || what == Prop::kFont || what == Prop::kBounds ||
      what == Prop::kToolTip || what == Prop::kPicture) {
    const int width = fitted_.width, height = fitted_.height;
    if (Refit()) {
      RECT client;
      GetClientRect(hwnd_, &client);
      const SIZE end = controls_.Extent();
      if (fitted_.width != width || fitted_.height != height || end.cx > client.right ||
          end.cy > client.bottom)
        FitClientArea();
    }
  }
  controls_.Update(c, what);
}

bool FormWindow::Refit() {
  room_.SetDpi(dpi_);
  // The monitor's work area, less the window's frame as it is now.
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  int maxW = 1 << 20, maxH = 1 << 20;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi)) {
    RECT outer = {0, 0, 0, 0};
    if (!form_.sizeIsOuter())
      win32::AdjustRectForDpi(outer, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                              GetMenu(hwnd_) != nullptr,
                              static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    maxW =
        win32::PixelsToTwips(mi.rcWork.right - mi.rcWork.left - (outer.right - outer.left), dpi_);
    maxH =
        win32::PixelsToTwips(mi.rcWork.bottom - mi.rcWork.top - (outer.bottom - outer.top), dpi_);
  }
  FittedForm fitted = FitTexts(form_, room_, maxW, maxH);
  if (fitted == fitted_) return false;
  fitted_ = std::move(fitted);
  controls_.SetLayout(fitted_);
  return true;
}

void FormWindow::ApplyMenuBar() {
  HMENU bar = menus_->bar();
  if (bar == shownBar_) {
    if (bar) DrawMenuBar(hwnd_);
    return;
  }
  SetMenu(hwnd_, bar);
  shownBar_ = bar;
  FitClientArea();
}

void FormWindow::ApplyColors() {
  const auto& colors = form_.colors();
  if (!colors) return;
  backBrush_.reset(CreateSolidBrush(CoverBack(*colors)));
  if (GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED)
    SetLayeredWindowAttributes(hwnd_, 0, colors->system ? 255 : colors->alpha, LWA_ALPHA);
}

void FormWindow::Cover() {
  const ScreenRect& a = *form_.coverArea();
  const int w = a.right - a.left, h = a.bottom - a.top;
  Applying guard(applying_);
  SetWindowPos(hwnd_, HWND_TOPMOST, a.left, a.top, w, h, SWP_NOACTIVATE | SWP_FRAMECHANGED);
  const int blockW = win32::TwipsToPixels(fitted_.width, dpi_);
  const int blockH = win32::TwipsToPixels(fitted_.height, dpi_);
  controls_.SetOrigin({std::max(0, (w - blockW) / 2), std::max(0, (h - blockH) / 2)});
}

void FormWindow::FitClientArea() {
  if (form_.coverArea()) {
    Cover();
    return;
  }
  // A minimized or maximized window keeps its size until it is restored.
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  Applying guard(applying_);
  const int w = win32::TwipsToPixels(fitted_.width, dpi_);
  const int h = win32::TwipsToPixels(fitted_.height, dpi_);
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  if (form_.sizeIsOuter()) {
    // The form has laid itself out for this outer size, caption and borders included; where the
    // frame at this DPI leaves less than its controls need, the window takes what they need.
    SetWindowPos(hwnd_, nullptr, 0, 0, w, h, flags);
    RECT client;
    GetClientRect(hwnd_, &client);
    const SIZE end = controls_.Extent();
    const int dw = std::max(0, static_cast<int>(end.cx - client.right));
    const int dh = std::max(0, static_cast<int>(end.cy - client.bottom));
    if (dw || dh) SetWindowPos(hwnd_, nullptr, 0, 0, w + dw, h + dh, flags);
    return;
  }
  RECT rc = {0, 0, w, h};
  win32::AdjustRectForDpi(rc, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                          GetMenu(hwnd_) != nullptr,
                          static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
  const int outerW = rc.right - rc.left, outerH = rc.bottom - rc.top;
  SetWindowPos(hwnd_, nullptr, 0, 0, outerW, outerH, flags);
  // A menu bar that wraps onto a second line is taller than the calculation
  // assumes: correct by what the client area really got.
  RECT client;
  GetClientRect(hwnd_, &client);
  const int dw = w - client.right, dh = h - client.bottom;
  if (dw || dh) SetWindowPos(hwnd_, nullptr, 0, 0, outerW + dw, outerH + dh, flags);
}

void FormWindow::Center() {
  if (form_.coverArea()) return;  // placed on its area
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  // Where the program asks for it (the monitor the user works on), else the main window's.
  RECT work;
  if (const auto& area = form_.centerArea()) {
    work = {area->left, area->top, area->right, area->bottom};
  } else {
    HWND main = view_.MainWindow();
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(main ? main : hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    work = mi.rcWork;
  }
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  int x = work.left + (work.right - work.left - w) / 2;
  int y = work.top + (work.bottom - work.top - h) / 2;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  Applying guard(applying_);
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FormWindow::ShowPopup(const Control& menu) {
  if (!hwnd_ || !menus_) return false;
  // Rebuilt from the items as they stand now: captions, checks, grey,
  // hidden items and the default item may have changed since the last fill.
  menus_->Refill();
  ApplyMenuBar();
  HMENU popup = menus_->PopupOf(menu);
  if (!popup || GetMenuItemCount(popup) <= 0) return false;
  POINT at = {};
  GetCursorPos(&at);
  HWND owner = hwnd_;
  trace_.Line("menu.popup", {form_.name(), menu.name()});
  // Held like a call from Windows: the form may be unloaded while the menu
  // is open (a timer, a chosen item), and its menus must outlive the loop.
  ++busy_;
  view_.PopupLoop(+1);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  view_.PopupLoop(-1);
  // A menu owned by a window in the background (the tray's case) needs a
  // message to its owner afterwards, or the next one may not close when the
  // user clicks elsewhere. The owner may be gone already; that is harmless.
  PostMessageW(owner, WM_NULL, 0, 0);
  Leave(this);  // may free this object
  return true;
}

bool FormWindow::PreTranslate(MSG& msg) {
  HACCEL accel = menus_ ? menus_->accelerators() : nullptr;
  // After a shortcut ran, this window may be gone: return at once.
  if (accel && TranslateAcceleratorW(hwnd_, accel, &msg)) return true;
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) form_.UserInput();
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam == VK_TAB) return IsDialogMessageW(hwnd_, &msg);
      if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)
        return PressDialogKey(msg.wParam == VK_RETURN);
      return false;
    case WM_SYSKEYDOWN:
      // Without Alt, a key comes as a system key when no control has the focus: Tab then gives
      // it to the first control (Shift+Tab the last), as it would from the window itself.
      if (msg.wParam == VK_TAB && !(msg.lParam & (LPARAM{1} << 29)) && !GetFocus() &&
          GetActiveWindow() == hwnd_) {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        HWND next = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        // The one before the first is the last.
        if (next && back) next = GetNextDlgTabItem(hwnd_, next, TRUE);
        if (next) SetFocus(next);
        return true;
      }
      return false;
    case WM_SYSCHAR:
      return UseAccessKey(msg.wParam);
    case WM_CHAR: {
      // Typing belongs to the text boxes and lists; elsewhere a letter is an access key.
      const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg));
      if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      return UseAccessKey(msg.wParam);
    }
    default:
      return false;
  }
}

bool FormWindow::PressDialogKey(bool enter) {
  Control* target = nullptr;
  HWND focus = GetFocus();
  if (enter && focus && IsChild(hwnd_, focus)) {
    Control* focused = controls_.ByWindow(focus);
    if (focused && focused->kind() == ControlKind::kButton) target = focused;
  }
  if (!target) target = controls_.DialogKeyButton(enter);
  if (!target) return false;
  ++busy_;
  target->Click();
  Leave(this);  // may free this object
  return true;
}

bool FormWindow::UseAccessKey(WPARAM key) {
  if (key < 0x21 || key > 0xFF) return false;
  Control* c = controls_.ByAccessKey(static_cast<char>(key));
  if (!c) return false;
  ++busy_;
  controls_.UseAccessKey(*c);
  Leave(this);  // may free this object
  return true;
}

}  // namespace unw
