#include "backends/win32/control_windows.h"

#include <algorithm>

#include <cctype>

#include "backends/win32/automation.h"
#include "backends/win32/chart_win32.h"
#include "backends/win32/pictures.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

namespace unw::win32 {

namespace {

// Child ids start here; menu commands use 0x1000 and up.
constexpr int kFirstChildId = 100;

struct WindowKind {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

// The standard control that shows each control; null class for the kinds
// without a window of their own (timers, menus).
WindowKind KindOf(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kButton:
      // A caption without a picture is a plain push button; the rest draw their picture.
      if (c.picture().empty() && !c.caption().empty()) {
        const DWORD push = c.isDefaultButton() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        return {L"BUTTON", push | BS_NOTIFY | WS_TABSTOP, 0};
      }
      return {L"BUTTON", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP, 0};
    case ControlKind::kLabel:
      return {L"STATIC", SS_NOTIFY, 0};  // wrapping: LabelWrap
    case ControlKind::kTextBox:
      return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kCheckBox:
      // Not automatic: the model's Click decides the new value.
      return {L"BUTTON", BS_3STATE | BS_NOTIFY | WS_TABSTOP, 0};
    case ControlKind::kOption:
      return {L"BUTTON", BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP, 0};
    case ControlKind::kComboBox:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::kListBox:
      // The model keeps the order; the box only shows it.
      return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlKind::kFrame:
      if (IsLine(c)) return {L"STATIC", SS_ETCHEDHORZ, 0};
      return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::kPicture:
      // A chart's bars are chosen with the keys too: it takes the focus.
      if (c.onChartClick) return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY | WS_TABSTOP, 0};
      return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0};
    case ControlKind::kImage:
      return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0};
    case ControlKind::kTimer:
    case ControlKind::kMenu:
    case ControlKind::kMenuSeparator:
      break;
  }
  return {nullptr, 0, 0};
}

// A control inside a hidden (or disabled) frame is hidden (or disabled) too.
bool ShownNow(const Control& c) {
  for (const Control* p = &c; p; p = p->parent()) {
    if (!p->visible()) return false;
  }
  return true;
}

bool EnabledNow(const Control& c) {
  for (const Control* p = &c; p; p = p->parent()) {
    if (!p->enabled()) return false;
  }
  return true;
}

// Position in twips from the form's client origin: the model keeps it
// relative to the containing frame.
RECT TwipsRect(const Control& c) {
  int left = c.left(), top = c.top();
  for (const Control* p = c.parent(); p; p = p->parent()) {
    left += p->left();
    top += p->top();
  }
  return RECT{left, top, left + c.width(), top + c.height()};
}

bool Inside(const Control& c, const Control& outer) {
  for (const Control* p = &c; p; p = p->parent()) {
    if (p == &outer) return true;
  }
  return false;
}

// A label wraps its caption at spaces (or between Chinese or Japanese characters); a caption
// without any (the "00" of the time display) is clipped instead, for the static control would
// break a word that does not fit onto a second line that the label cuts off.
DWORD LabelWrap(const Control& c) {
  return Wraps(c.caption()) ? SS_LEFT : SS_LEFTNOWORDWRAP;
}

int Depth(const Control& c) {
  int d = 0;
  for (const Control* p = c.parent(); p; p = p->parent()) ++d;
  return d;
}

// The letter after the first single "&" of a caption ("&&" shows one "&"), 0 when none.
char AccessKeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;
  }
  return 0;
}

}  // namespace

bool IsLine(const Control& c) {
  return c.kind() == ControlKind::kFrame && c.height() <= 30;
}

std::string WindowTextOf(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kButton:
      return c.caption().empty() ? c.toolTip() : c.caption();
    case ControlKind::kTextBox:
    case ControlKind::kComboBox:
      return c.text();
    default:
      return c.caption();
  }
}

void ControlSet::Create(HWND parent, UINT dpi, SUBCLASSPROC childProc, DWORD_PTR childRef) {
  parent_ = parent;
  dpi_ = dpi;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  const auto& all = form_.controls();
  for (size_t i = 0; i < all.size(); ++i) {
    Control& c = *all[i];
    HWND hwnd = CreateOne(c, kFirstChildId + static_cast<int>(i), childProc, childRef);
    if (!hwnd) continue;
    children_.push_back(Child{&c, hwnd});
    const Child& child = children_.back();
    SetFont(child);
    ShowItems(child);
    ShowValue(child);
    AddTool(child);
    SetAutomationName(hwnd, c.Id());
  }
  // A group box must lie below the controls it holds, or it would hide
  // them: frames go to the bottom, the outermost last.
  std::vector<const Child*> frames;
  for (const Child& ch : children_) {
    if (ch.control->kind() == ControlKind::kFrame) frames.push_back(&ch);
  }
  std::stable_sort(frames.begin(), frames.end(), [](const Child* a, const Child* b) {
    return Depth(*a->control) > Depth(*b->control);
  });
  for (const Child* f : frames)
    SetWindowPos(f->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND ControlSet::CreateOne(Control& c, int id, SUBCLASSPROC childProc, DWORD_PTR childRef) {
  const WindowKind k = KindOf(c);
  if (!k.cls) return nullptr;
  DWORD style = WS_CHILD | k.style;
  if (c.kind() == ControlKind::kLabel) style |= LabelWrap(c);
  if (ShownNow(c)) style |= WS_VISIBLE;
  if (!EnabledNow(c)) style |= WS_DISABLED;
  HWND hwnd = CreateWindowExW(
      k.exStyle, k.cls, Wide(WindowsLines(WindowTextOf(c))).c_str(), style, 0, 0, 0, 0, parent_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  Place(Child{&c, hwnd});
  if (c.kind() == ControlKind::kTextBox) {
    if (childProc) SetWindowSubclass(hwnd, childProc, 1, childRef);
    ShowEditState(Child{&c, hwnd});
  }
  // A picture may be given a chart after it is made: its clicks are looked at from the start. A
  // group box is painted by the program (PaintFrame).
  // Lists and combo boxes have their edges painted over while dark (PaintBorder).
  if ((c.kind() == ControlKind::kPicture || c.kind() == ControlKind::kListBox ||
       c.kind() == ControlKind::kComboBox || (c.kind() == ControlKind::kFrame && !IsLine(c))) &&
      childProc)
    SetWindowSubclass(hwnd, childProc, 1, childRef);
  return hwnd;
}

RECT ControlSet::Where(const Control& c) const {
  const auto it = laidOut_.find(&c);
  if (it == laidOut_.end()) return TwipsRect(c);
  const Box& b = it->second;
  return RECT{b.left, b.top, b.right(), b.bottom()};
}

void ControlSet::SetLayout(const FittedForm& fitted) {
  std::map<const Control*, Box> placed;
  const auto& all = form_.controls();
  for (size_t i = 0; i < all.size() && i < fitted.boxes.size(); ++i) {
    Box b = fitted.boxes[i];
    // A frame comes before what it holds.
    if (const Control* p = all[i]->parent(); p && placed.count(p)) {
      b.left += placed[p].left;
      b.top += placed[p].top;
    }
    placed[all[i].get()] = b;
  }
  if (placed == laidOut_) return;
  laidOut_ = std::move(placed);
  for (const Child& ch : children_) Place(ch);
}

void ControlSet::Place(const Child& child) const {
  const RECT t = Where(*child.control);
  // Both edges are converted, so that neighbours meet without gaps.
  const int x = TwipsToPixels(t.left, dpi_), y = TwipsToPixels(t.top, dpi_);
  const int w = TwipsToPixels(t.right, dpi_) - x;
  int h = TwipsToPixels(t.bottom, dpi_) - y;
  // A drop-down list's window includes its list.
  if (child.control->kind() == ControlKind::kComboBox) h += TwipsToPixels(2400, dpi_);
  // Controls inside a frame are placed within it; the form's own are moved by the origin.
  const int dx = child.control->parent() ? 0 : origin_.x,
            dy = child.control->parent() ? 0 : origin_.y;
  SetWindowPos(child.hwnd, nullptr, x + dx, y + dy, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlSet::SetFont(const Child& child) const {
  HFONT font = fonts_.Get(child.control->font(), dpi_);
  if (font) SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ControlSet::AddTool(const Child& child) const {
  if (!tooltip_) return;
  std::wstring text = Wide(WindowsLines(child.control->toolTip()));
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = parent_;
  ti.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
  ti.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlSet::SetTool(const Child& child) const {
  if (!tooltip_) return;
  std::wstring text = Wide(WindowsLines(child.control->toolTip()));
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = parent_;
  ti.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
  ti.lpszText = text.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlSet::ShowValue(const Child& child) const {
  const Control& c = *child.control;
  switch (c.kind()) {
    case ControlKind::kCheckBox:
      SendMessageW(child.hwnd, BM_SETCHECK,
                   c.value() == 1   ? BST_CHECKED
                   : c.value() == 2 ? BST_INDETERMINATE
                                    : BST_UNCHECKED,
                   0);
      break;
    case ControlKind::kOption:
      SendMessageW(child.hwnd, BM_SETCHECK, c.value() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::kComboBox:
      SendMessageW(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(c.value()), 0);
      break;
    case ControlKind::kListBox:
      SendMessageW(child.hwnd, LB_SETCURSEL, static_cast<WPARAM>(c.value()), 0);
      break;
    default:
      break;
  }
}

void ControlSet::ShowItems(const Child& child) const {
  const ControlKind kind = child.control->kind();
  if (kind != ControlKind::kComboBox && kind != ControlKind::kListBox) return;
  const bool combo = kind == ControlKind::kComboBox;
  SendMessageW(child.hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const std::string& item : child.control->items())
    SendMessageW(child.hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(item).c_str()));
  ShowValue(child);
}

void ControlSet::ShowText(const Child& child) {
  const Control& c = *child.control;
  if (c.kind() == ControlKind::kComboBox) {
    LRESULT i = SendMessageW(child.hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(Wide(c.text()).c_str()));
    if (i != CB_ERR) SendMessageW(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return;
  }
  const std::string text = WindowsLines(WindowTextOf(c));
  // The text the user typed comes back from the model: leave it (and the caret) alone.
  if (WindowText(child.hwnd) == text) return;
  settingText_ = true;
  SetWindowTextW(child.hwnd, Wide(text).c_str());
  settingText_ = false;
}

void ControlSet::ShowEditState(const Child& child) const {
  const Control& c = *child.control;
  // 0 lifts the limit to the control's largest.
  SendMessageW(child.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(std::max(0, c.maxLength())), 0);
  SendMessageW(child.hwnd, EM_SETREADONLY, c.locked() ? TRUE : FALSE, 0);
  ShowSelection(child);
}

void ControlSet::ShowSelection(const Child& child) const {
  const Control& c = *child.control;
  const int start = std::max(0, c.selStart());
  SendMessageW(child.hwnd, EM_SETSEL, static_cast<WPARAM>(start),
               static_cast<LPARAM>(start + std::max(0, c.selLength())));
}

const ControlSet::Child* ControlSet::Find(const Control& c) const {
  for (const Child& ch : children_) {
    if (ch.control == &c) return &ch;
  }
  return nullptr;
}

std::vector<const ControlSet::Child*> ControlSet::Family(const Control& c) const {
  std::vector<const Child*> out;
  for (const Child& ch : children_) {
    if (Inside(*ch.control, c)) out.push_back(&ch);
  }
  return out;
}

Control* ControlSet::ByWindow(HWND hwnd) const {
  for (const Child& ch : children_) {
    if (ch.hwnd == hwnd) return ch.control;
  }
  return nullptr;
}

void ControlSet::Update(const Control& c, Prop what) {
  if (what == Prop::kVisible || what == Prop::kEnabled || what == Prop::kBounds) {
    // A control that greys or hides with the focus on it (Start, once pressed) hands it on to the
    // next one, as a dialog does: the window would otherwise keep the keyboard with no control to
    // give it to, and Tab would go nowhere.
    HWND focus = GetFocus();
    const bool hadFocus = focus && IsChild(parent_, focus);
    // A frame carries its children along.
    for (const Child* ch : Family(c)) {
      if (what == Prop::kVisible)
        ShowWindow(ch->hwnd, ShownNow(*ch->control) ? SW_SHOWNA : SW_HIDE);
      else if (what == Prop::kEnabled)
        EnableWindow(ch->hwnd, EnabledNow(*ch->control));
      else
        Place(*ch);
    }
    // A group box paints only its frame and caption: what a moved or hidden
    // control leaves behind inside it must be repainted by the form.
    if (what != Prop::kEnabled)
      RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (hadFocus && !(IsWindowVisible(focus) && IsWindowEnabled(focus) && GetFocus() == focus)) {
      if (HWND next = GetNextDlgTabItem(parent_, focus, FALSE)) ::SetFocus(next);
    }
    return;
  }
  const Child* ch = Find(c);
  if (!ch) return;
  switch (what) {
    case Prop::kCaption:
      // An owner-drawn button shows its caption itself.
      if (c.kind() == ControlKind::kButton) InvalidateRect(ch->hwnd, nullptr, FALSE);
      if (c.kind() == ControlKind::kLabel) {
        const LONG_PTR style = GetWindowLongPtrW(ch->hwnd, GWL_STYLE);
        const LONG_PTR want = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | LabelWrap(c);
        if (want != style) {
          SetWindowLongPtrW(ch->hwnd, GWL_STYLE, want);
          InvalidateRect(ch->hwnd, nullptr, TRUE);
        }
      }
      ShowText(*ch);
      break;
    case Prop::kText:
      ShowText(*ch);
      break;
    case Prop::kToolTip:
      SetTool(*ch);
      if (c.kind() == ControlKind::kButton) ShowText(*ch);
      break;
    case Prop::kMaxLength:
    case Prop::kLocked:
      if (c.kind() == ControlKind::kTextBox) ShowEditState(*ch);
      break;
    case Prop::kSelection:
      if (c.kind() == ControlKind::kTextBox) ShowSelection(*ch);
      break;
    case Prop::kFocus:
      // The control reports the focus back (EN_SETFOCUS, BN_SETFOCUS): the model's GotFocus.
      if (IsWindowVisible(ch->hwnd) && IsWindowEnabled(ch->hwnd)) ::SetFocus(ch->hwnd);
      break;
    case Prop::kFont:
      SetFont(*ch);
      break;
    case Prop::kValue:
      ShowValue(*ch);
      break;
    case Prop::kItems:
      ShowItems(*ch);
      break;
    case Prop::kPicture:
      InvalidateRect(ch->hwnd, nullptr, TRUE);
      break;
    case Prop::kChart:
      InvalidateRect(ch->hwnd, nullptr, FALSE);
      break;
    default:
      break;
  }
}

void ControlSet::Relayout(UINT dpi) {
  dpi_ = dpi;
  for (const Child& ch : children_) {
    Place(ch);
    SetFont(ch);
  }
}

void ControlSet::ApplyLook() {
  const bool own = theme_.own();
  for (const Child& ch : children_) {
    const Control& c = *ch.control;
    ApplyControlLook(ch.hwnd, c.kind(), own);
    if (c.kind() != ControlKind::kButton) continue;
    // A push button's face and text are the system's to draw: in the program's own colours it
    // is drawn like the picture buttons, and given back to the system after.
    const LONG_PTR designed = KindOf(c).style & BS_TYPEMASK;
    if (designed == BS_OWNERDRAW) continue;
    const LONG_PTR style = GetWindowLongPtrW(ch.hwnd, GWL_STYLE);
    const LONG_PTR type = style & BS_TYPEMASK;
    const LONG_PTR want = own ? BS_OWNERDRAW : designed;
    if (type != want) {
      SetWindowLongPtrW(ch.hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | want);
      InvalidateRect(ch.hwnd, nullptr, TRUE);
    }
  }
}

bool ControlSet::PaintsFrame(HWND hwnd) const {
  const Control* c = ByWindow(hwnd);
  return c && c->kind() == ControlKind::kFrame && !IsLine(*c);
}

bool ControlSet::PaintsBorder(HWND hwnd, bool nonClient) const {
  const Control* c = ByWindow(hwnd);
  if (!theme_.own() || !c) return false;
  // Text boxes and lists wear the system's sunken edge outside their inside, a drop-down list
  // draws its own inside.
  if (c->kind() == ControlKind::kTextBox || c->kind() == ControlKind::kListBox) return nonClient;
  return c->kind() == ControlKind::kComboBox && !nonClient;
}

void ControlSet::PaintBorder(HWND hwnd, bool nonClient) const {
  // The light edges of the classic sunken border, painted over: an outline and the field.
  RECT rc;
  if (nonClient) {
    GetWindowRect(hwnd, &rc);
    OffsetRect(&rc, -rc.left, -rc.top);
  } else {
    GetClientRect(hwnd, &rc);
  }
  HDC dc = nonClient ? GetWindowDC(hwnd) : GetDC(hwnd);
  if (!dc) return;
  ScopedGdiObj<HBRUSH> edge(CreateSolidBrush(theme_.palette().edge));
  FrameRect(dc, &rc, edge);
  InflateRect(&rc, -1, -1);
  FrameRect(dc, &rc, theme_.Field());
  ReleaseDC(hwnd, dc);
}

void ControlSet::PaintFrame(HWND hwnd, HDC dc) const {
  const Control* c = ByWindow(hwnd);
  if (!c) return;
  if (!theme_.own()) {
    PaintClassicFrame(hwnd, dc, *c);
    return;
  }
  // The system's group box draws its caption in its own colour under some styles (and Wine's
  // in a dark grey): drawn here, an outline and the caption on the window's ground.
  {
    ScopedSaveDC saved(dc);
    ScopedSelect font(dc, fonts_.Get(c->font(), dpi_));
    RECT rc;
    GetClientRect(hwnd, &rc);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    RECT outline = rc;
    outline.top += tm.tmHeight / 2;
    ScopedGdiObj<HBRUSH> edge(CreateSolidBrush(theme_.palette().edge));
    FrameRect(dc, &outline, edge);
    const std::wstring caption = Wide(c->caption());
    if (!caption.empty()) {
      const int indent = MulDiv(8, static_cast<int>(dpi_), 96);
      RECT text = {rc.left + indent, rc.top, rc.right - indent, rc.top + tm.tmHeight};
      DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
      text.right = std::min(text.right + 4, rc.right - indent);
      text.left -= 2;
      FillRect(dc, &text, theme_.Face());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, IsWindowEnabled(hwnd) ? theme_.palette().text : theme_.palette().grey);
      text.left += 2;
      DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_END_ELLIPSIS);
    }
  }
}

void ControlSet::PaintClassicFrame(HWND hwnd, HDC dc, const Control& c) const {
  // The system's group box (common controls 6) clips its caption at the text's advance, cutting
  // the ink a last glyph draws beyond it: drawn here as it draws it, the etched line and the
  // caption on the window's ground, the caption whole.
  ScopedSaveDC saved(dc);
  ScopedSelect font(dc, fonts_.Get(c.font(), dpi_));
  HWND parent = GetParent(hwnd);
  auto back = reinterpret_cast<HBRUSH>(SendMessageW(
      parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!back) back = GetSysColorBrush(COLOR_BTNFACE);
  RECT rc;
  GetClientRect(hwnd, &rc);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  RECT edge = rc;
  edge.top += tm.tmHeight / 2 - 1;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  const std::wstring caption = Wide(c.caption());
  if (caption.empty()) return;
  const int d = static_cast<int>(dpi_);
  UINT format = DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOCLIP;
  if (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
  RECT text = {rc.left + MulDiv(7, d, 96), rc.top, rc.left + MulDiv(7, d, 96), rc.top};
  DrawTextW(dc, caption.c_str(), -1, &text, format | DT_CALCRECT);
  // The line stops a pixel before the caption and leaves room after it for the last glyph's ink.
  RECT ground = {text.left - 1, text.top, std::min<LONG>(text.right + MulDiv(3, d, 96), rc.right),
                 text.bottom};
  FillRect(dc, &ground, back);
  SetBkMode(dc, TRANSPARENT);
  if (IsWindowEnabled(hwnd)) {
    DrawTextW(dc, caption.c_str(), -1, &text, format);
  } else {
    // Embossed, as the system greys a caption.
    RECT light = text;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption.c_str(), -1, &light, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, caption.c_str(), -1, &text, format);
  }
}

void ControlSet::SetOrigin(POINT origin) {
  if (origin.x == origin_.x && origin.y == origin_.y) return;
  origin_ = origin;
  for (const Child& ch : children_) Place(ch);
}

SIZE ControlSet::Extent() const {
  SIZE end = {0, 0};
  for (const Child& ch : children_) {
    if (!ShownNow(*ch.control)) continue;
    const RECT t = Where(*ch.control);
    const LONG dx = ch.control->parent() ? 0 : origin_.x, dy = ch.control->parent() ? 0 : origin_.y;
    end.cx = std::max<LONG>(end.cx, TwipsToPixels(t.right, dpi_) + dx);
    end.cy = std::max<LONG>(end.cy, TwipsToPixels(t.bottom, dpi_) + dy);
  }
  return end;
}

void ControlSet::ReleaseNames() {
  for (const Child& ch : children_) ClearAutomationName(ch.hwnd);
}

bool ControlSet::DrawItem(const DRAWITEMSTRUCT& di) const {
  Control* c = ByWindow(di.hwndItem);
  if (!c) return false;
  if (di.CtlType == ODT_STATIC && !c->chart().bars.empty()) {
    ScopedSelect font(di.hDC, fonts_.Get(c->font(), dpi_));
    DrawChart(di.hDC, di.rcItem, c->chart(), dpi_,
              ChartColorsFor(theme_.look() == Look::kDark, HighContrastOn()),
              GetFocus() == di.hwndItem);
    return true;
  }
  if (di.CtlType == ODT_STATIC) {
    RECT rc = di.rcItem;
    FillRect(di.hDC, &rc, theme_.Face());
    DrawPicture(di.hDC, rc, c->picture(), IsWindowEnabled(di.hwndItem) != FALSE, theme_.Ink());
    return true;
  }
  return DrawButton(di, *c);
}

bool ControlSet::DrawButton(const DRAWITEMSTRUCT& di, const Control& c) const {
  RECT rc = di.rcItem;
  const bool enabled = !(di.itemState & ODS_DISABLED);
  const bool pushed = di.itemState & ODS_SELECTED;
  const int dpi = static_cast<int>(dpi_);
  const Palette& colours = theme_.palette();
  if (theme_.own()) {
    // Flat, in the program's colours: a face with an outline, the default button's thicker.
    FillRect(di.hDC, &rc, theme_.Face());
    ScopedGdiObj<HBRUSH> edge(CreateSolidBrush(c.isDefaultButton() ? colours.text : colours.edge));
    FillRect(di.hDC, &rc, edge);
    InflateRect(&rc, -1, -1);
    if (c.isDefaultButton()) InflateRect(&rc, -1, -1);
    FillRect(di.hDC, &rc, theme_.Button(pushed));
  } else {
    if (c.isDefaultButton()) {
      // The default button wears the dark outline of the classic style.
      FrameRect(di.hDC, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
      InflateRect(&rc, -1, -1);
    }
    DrawFrameControl(di.hDC, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  }
  const std::string& caption = c.caption();
  if (caption.empty()) {
    // The picture alone keeps a margin inside the raised edge and moves with the press.
    const int margin = MulDiv(5, dpi, 96);
    RECT box = rc;
    InflateRect(&box, -margin, -margin);
    if (pushed) OffsetRect(&box, 1, 1);
    DrawPicture(di.hDC, box, c.picture(), enabled, theme_.Ink());
  } else {
    // A small picture left of the caption, the two centred together.
    ScopedSaveDC saved(di.hDC);
    ScopedSelect font(di.hDC, fonts_.Get(c.font(), dpi_));
    SetBkMode(di.hDC, TRANSPARENT);
    UINT prefix = (di.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    const std::wstring wide = Wide(caption);
    RECT text = {0, 0, 0, 0};
    DrawTextW(di.hDC, wide.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | prefix);
    const int textW = text.right - text.left;
    const int inner = rc.bottom - rc.top - 2 * MulDiv(4, dpi, 96);
    const bool picture = HasPicture(c.picture());
    const int glyph = picture ? std::min(MulDiv(16, dpi, 96), inner) : 0;
    const int gap = picture ? MulDiv(4, dpi, 96) : 0;
    const int total = glyph + gap + textW;
    int x = rc.left + (rc.right - rc.left - total) / 2;
    x = std::max(x, static_cast<int>(rc.left) + MulDiv(3, dpi, 96));
    const int mid = (rc.top + rc.bottom) / 2;
    const int shift = pushed ? 1 : 0;
    if (picture) {
      RECT box = {x + shift, mid - glyph / 2 + shift, x + glyph + shift,
                  mid - glyph / 2 + glyph + shift};
      DrawPicture(di.hDC, box, c.picture(), enabled, theme_.Ink());
    }
    RECT line = {x + glyph + gap + shift, rc.top + shift, rc.right - 2 + shift, rc.bottom + shift};
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix;
    if (enabled || theme_.own()) {
      // Dark text is greyed by its colour alone: an embossed copy would stand out light.
      SetTextColor(di.hDC, !theme_.own() ? GetSysColor(COLOR_BTNTEXT)
                           : enabled     ? colours.text
                                         : colours.grey);
      DrawTextW(di.hDC, wide.c_str(), -1, &line, format);
    } else {
      // Embossed, as the system greys a button's text.
      RECT light = line;
      OffsetRect(&light, 1, 1);
      SetTextColor(di.hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextW(di.hDC, wide.c_str(), -1, &light, format);
      SetTextColor(di.hDC, GetSysColor(COLOR_GRAYTEXT));
      DrawTextW(di.hDC, wide.c_str(), -1, &line, format);
    }
  }
  if ((di.itemState & ODS_FOCUS) && !(di.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = rc;
    const int inset = MulDiv(3, dpi, 96);
    InflateRect(&focus, -inset, -inset);
    // The dotted rectangle inverts what lies below: on a dark face it shows light.
    SetTextColor(di.hDC, theme_.own() ? colours.text : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(di.hDC, theme_.own() ? colours.button : GetSysColor(COLOR_BTNFACE));
    DrawFocusRect(di.hDC, &focus);
  }
  return true;
}

Control* ControlSet::ByAccessKey(char key) const {
  const int want = std::toupper(static_cast<unsigned char>(key));
  for (const Child& ch : children_) {
    const Control& c = *ch.control;
    // Labels and frames pass the focus on; a picture button's tooltip is no caption.
    if (c.kind() == ControlKind::kPicture || c.kind() == ControlKind::kImage ||
        c.kind() == ControlKind::kTextBox || c.kind() == ControlKind::kComboBox ||
        c.kind() == ControlKind::kListBox || IsLine(c))
      continue;
    if (!ShownNow(c) || !EnabledNow(c)) continue;
    const char k = AccessKeyOf(c.caption());
    if (k && std::toupper(static_cast<unsigned char>(k)) == want) return ch.control;
  }
  return nullptr;
}

bool ControlSet::TakesFocus(const Child& child) const {
  return (GetWindowLongPtrW(child.hwnd, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child.hwnd) &&
         IsWindowEnabled(child.hwnd);
}

void ControlSet::UseAccessKey(Control& c) {
  const Child* ch = Find(c);
  if (!ch) return;
  switch (c.kind()) {
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      // As a click: the control takes the focus and reports BN_CLICKED.
      SendMessageW(ch->hwnd, BM_CLICK, 0, 0);
      return;
    default:
      break;
  }
  // A frame gives the focus to the first control inside it; a label to the next control.
  const bool frame = c.kind() == ControlKind::kFrame;
  bool after = false;
  for (const Child& other : children_) {
    if (other.control == &c) {
      after = true;
      continue;
    }
    if (!after && !frame) continue;
    if (frame && !Inside(*other.control, c)) continue;
    if (TakesFocus(other)) {
      ::SetFocus(other.hwnd);
      return;
    }
  }
}

Control* ControlSet::DialogKeyButton(bool enter) const {
  for (const Child& ch : children_) {
    const Control& c = *ch.control;
    if (c.kind() != ControlKind::kButton || !ShownNow(c) || !EnabledNow(c)) continue;
    if (enter ? c.isDefaultButton() : c.isCancelButton()) return ch.control;
  }
  return nullptr;
}

HWND ControlSet::FirstTabStop() const {
  for (const Child& ch : children_) {
    if (TakesFocus(ch)) return ch.hwnd;
  }
  return nullptr;
}

int ControlSet::ChartBarAt(HWND hwnd, POINT at) const {
  const Control* c = ByWindow(hwnd);
  if (!c || c->chart().bars.empty()) return -1;
  RECT box;
  GetClientRect(hwnd, &box);
  ScopedGetDC dc(hwnd);
  ScopedSelect font(dc, fonts_.Get(c->font(), dpi_));
  return win32::ChartBarAt(dc, box, c->chart(), dpi_, at);
}

bool ControlSet::Clickable(HWND hwnd) const {
  const Control* c = ByWindow(hwnd);
  if (c && c->onChartClick && !c->chart().bars.empty()) return true;
  if (!c || !c->onClick) return false;
  return c->kind() == ControlKind::kLabel || c->kind() == ControlKind::kPicture ||
         c->kind() == ControlKind::kImage;
}

}  // namespace unw::win32
