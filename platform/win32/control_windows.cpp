#include "platform/win32/control_windows.h"

#include <algorithm>

#include "platform/win32/automation.h"
#include "platform/win32/glyphs.h"
#include "platform/win32/win32_util.h"

namespace unw::win32 {

namespace {

// Child ids start here; menu commands use 0x1000 and up.
constexpr int kFirstChildId = 100;

struct WindowKind {
  const char* cls;
  DWORD style;
  DWORD exStyle;
};

// The standard control that shows each kind; null class for the kinds
// without a window of their own (timers, menus).
WindowKind KindOf(ControlKind k) {
  switch (k) {
    case ControlKind::kButton:
      return {"BUTTON", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP, 0};
    case ControlKind::kLabel:
      return {"STATIC", SS_NOTIFY, 0};  // wrapping: LabelWrap
    case ControlKind::kTextBox:
      return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kCheckBox:
      // Not automatic: the model's Click decides the new value.
      return {"BUTTON", BS_3STATE | BS_NOTIFY | WS_TABSTOP, 0};
    case ControlKind::kOption:
      return {"BUTTON", BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP, 0};
    case ControlKind::kComboBox:
      return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::kFrame:
      return {"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::kPicture:
    case ControlKind::kImage:
      return {"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0};
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

// A label wraps its caption at spaces; a caption without any (the "00" of
// the time display) is clipped instead, for the static control would break
// a word that does not fit onto a second line that the label cuts off.
DWORD LabelWrap(const Control& c) {
  return c.caption().find_first_of(" \t\r\n") == std::string::npos ? SS_LEFTNOWORDWRAP : SS_LEFT;
}

int Depth(const Control& c) {
  int d = 0;
  for (const Control* p = c.parent(); p; p = p->parent()) ++d;
  return d;
}

}  // namespace

std::string WindowTextOf(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kButton:
      return c.toolTip().empty() ? c.caption() : c.toolTip();
    case ControlKind::kTextBox:
    case ControlKind::kComboBox:
      return c.text();
    default:
      return c.caption();
  }
}

void ControlSet::Create(HWND parent, UINT dpi, SUBCLASSPROC editProc, DWORD_PTR editRef) {
  parent_ = parent;
  dpi_ = dpi;
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  const auto& all = form_.controls();
  for (size_t i = 0; i < all.size(); ++i) {
    Control& c = *all[i];
    HWND hwnd = CreateOne(c, kFirstChildId + static_cast<int>(i), editProc, editRef);
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

HWND ControlSet::CreateOne(Control& c, int id, SUBCLASSPROC editProc, DWORD_PTR editRef) {
  const WindowKind k = KindOf(c.kind());
  if (!k.cls) return nullptr;
  DWORD style = WS_CHILD | k.style;
  if (c.kind() == ControlKind::kLabel) style |= LabelWrap(c);
  if (ShownNow(c)) style |= WS_VISIBLE;
  if (!EnabledNow(c)) style |= WS_DISABLED;
  HWND hwnd = CreateWindowExA(k.exStyle, k.cls, WindowTextOf(c).c_str(), style, 0, 0, 0, 0, parent_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  Place(Child{&c, hwnd});
  if (c.kind() == ControlKind::kTextBox && editProc) SetWindowSubclass(hwnd, editProc, 1, editRef);
  return hwnd;
}

void ControlSet::Place(const Child& child) const {
  const RECT t = TwipsRect(*child.control);
  // Both edges are converted, so that neighbours meet without gaps.
  const int x = TwipsToPixels(t.left, dpi_), y = TwipsToPixels(t.top, dpi_);
  const int w = TwipsToPixels(t.right, dpi_) - x;
  int h = TwipsToPixels(t.bottom, dpi_) - y;
  // A drop-down list's window includes its list.
  if (child.control->kind() == ControlKind::kComboBox) h += TwipsToPixels(2400, dpi_);
  SetWindowPos(child.hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlSet::SetFont(const Child& child) const {
  HFONT font = fonts_.Get(child.control->font(), dpi_);
  if (font) SendMessageA(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ControlSet::AddTool(const Child& child) const {
  if (!tooltip_) return;
  std::string text = child.control->toolTip();
  TTTOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = parent_;
  ti.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
  ti.lpszText = text.data();
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlSet::SetTool(const Child& child) const {
  if (!tooltip_) return;
  std::string text = child.control->toolTip();
  TTTOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = parent_;
  ti.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
  ti.lpszText = text.data();
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlSet::ShowValue(const Child& child) const {
  const Control& c = *child.control;
  switch (c.kind()) {
    case ControlKind::kCheckBox:
      SendMessageA(child.hwnd, BM_SETCHECK,
                   c.value() == 1   ? BST_CHECKED
                   : c.value() == 2 ? BST_INDETERMINATE
                                    : BST_UNCHECKED,
                   0);
      break;
    case ControlKind::kOption:
      SendMessageA(child.hwnd, BM_SETCHECK, c.value() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::kComboBox:
      SendMessageA(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(c.value()), 0);
      break;
    default:
      break;
  }
}

void ControlSet::ShowItems(const Child& child) const {
  if (child.control->kind() != ControlKind::kComboBox) return;
  SendMessageA(child.hwnd, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : child.control->items())
    SendMessageA(child.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  ShowValue(child);
}

void ControlSet::ShowText(const Child& child) {
  const Control& c = *child.control;
  if (c.kind() == ControlKind::kComboBox) {
    LRESULT i = SendMessageA(child.hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(c.text().c_str()));
    if (i != CB_ERR) SendMessageA(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return;
  }
  const std::string text = WindowTextOf(c);
  // The text the user typed comes back from the model: leave it (and the caret) alone.
  if (WindowText(child.hwnd) == text) return;
  settingText_ = true;
  SetWindowTextA(child.hwnd, text.c_str());
  settingText_ = false;
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
    return;
  }
  const Child* ch = Find(c);
  if (!ch) return;
  switch (what) {
    case Prop::kCaption:
      if (c.kind() == ControlKind::kLabel) {
        const LONG_PTR style = GetWindowLongPtrA(ch->hwnd, GWL_STYLE);
        const LONG_PTR want = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | LabelWrap(c);
        if (want != style) {
          SetWindowLongPtrA(ch->hwnd, GWL_STYLE, want);
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

void ControlSet::ReleaseNames() {
  for (const Child& ch : children_) ClearAutomationName(ch.hwnd);
}

bool ControlSet::DrawItem(const DRAWITEMSTRUCT& di) const {
  Control* c = ByWindow(di.hwndItem);
  if (!c) return false;
  RECT rc = di.rcItem;
  const bool enabled = !(di.itemState & ODS_DISABLED);
  if (di.CtlType == ODT_STATIC) {
    FillRect(di.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawGlyph(di.hDC, rc, c->picture(), enabled);
    return true;
  }
  const bool pushed = di.itemState & ODS_SELECTED;
  DrawFrameControl(di.hDC, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  // The picture keeps a margin inside the raised edge and moves with the press.
  const int margin = MulDiv(5, static_cast<int>(dpi_), 96);
  RECT box = rc;
  InflateRect(&box, -margin, -margin);
  if (pushed) OffsetRect(&box, 1, 1);
  DrawGlyph(di.hDC, box, c->picture(), enabled);
  if ((di.itemState & ODS_FOCUS) && !(di.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = rc;
    const int inset = MulDiv(3, static_cast<int>(dpi_), 96);
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(di.hDC, &focus);
  }
  return true;
}

}  // namespace unw::win32
