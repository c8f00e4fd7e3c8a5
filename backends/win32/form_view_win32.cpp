#include "backends/win32/form_view_win32.h"

#include <algorithm>

#include "backends/win32/fonts_win32.h"
#include "backends/win32/form_window.h"
#include "backends/win32/scoped.h"
#include "backends/win32/text_room_win32.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/window_life.h"

namespace unw {

namespace {

constexpr wchar_t kOwnerClass[] = L"UnwindleOwner";

// The hidden owner has nothing to do but exist: only its own creation and destruction reach it.
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    void* created = win32::CreatedObject(hwnd, lParam);
    if (!created) return FALSE;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  } else if (win32::ForgedLifeMessage(msg)) {
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

Win32FormView::Win32FormView(Trace& trace) : trace_(trace) {
  FormWindow::RegisterClass();
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kOwnerClass;
  RegisterClassExW(&wc);
  // The first ShowWindow of a process may be replaced by the launcher's
  // show command (a shortcut set to "minimized"); spend it on the hidden
  // owner, so that each form is shown in the state its model says.
  if (HWND owner = Owner()) ShowWindow(owner, SW_HIDE);
}

Win32FormView::~Win32FormView() {
  windows_.clear();
  dying_.clear();
  if (owner_) win32::DestroyOwnWindow(owner_);
  FormWindow::UnregisterClass();
}

HWND Win32FormView::Owner() {
  if (!owner_) {
    win32::CreatingWindow creating(this);
    owner_ = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
  }
  return owner_;
}

FormWindow* Win32FormView::Find(const Form& form) const {
  for (const auto& w : windows_) {
    if (&w->form() == &form) return w.get();
  }
  return nullptr;
}

FormWindow* Win32FormView::FindWindow(HWND hwnd) const {
  for (const auto& w : windows_) {
    if (w->hwnd() == hwnd) return w.get();
  }
  return nullptr;
}

HWND Win32FormView::MainWindow() const {
  return windows_.empty() ? nullptr : windows_.front()->hwnd();
}

bool Win32FormView::IsMain(const FormWindow& w) const {
  return !windows_.empty() && windows_.front().get() == &w;
}

HMENU Win32FormView::PopupMenu(const Control& menu) const {
  FormWindow* w = Find(menu.form());
  return w ? w->PopupOf(menu) : nullptr;
}

void Win32FormView::SetLook(Look look) {
  if (look == theme_.look()) return;
  theme_.Set(look);
  trace_.Line("window.look", {look == Look::kDark ? "dark" : "system"});
  win32::ApplyMenuLook(theme_.own());
  // Every open window at once: its frame, its controls' styles, then all of it repainted.
  for (const auto& w : windows_) w->ApplyLook();
}

std::uintptr_t Win32FormView::Create(Form& form) {
  windows_.push_back(std::make_unique<FormWindow>(*this, form, trace_));
  FormWindow& w = *windows_.back();
  HWND hwnd = w.Create(form.showInTaskbar() ? nullptr : Owner());
  if (!hwnd) {
    windows_.pop_back();
    return 0;
  }
  return win32::AsHandle(hwnd);
}

void Win32FormView::Destroy(Form& form) {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [&form](const auto& w) { return &w->form() == &form; });
  if (it == windows_.end()) return;
  // Windows destroyed under an open popup menu can lose the quit message.
  if (menuLoops_ > 0 || popupLoops_ > 0) EndMenu();
  ReleaseModal(form);
  std::unique_ptr<FormWindow> w = std::move(*it);
  windows_.erase(it);
  w->Destroy();
  trace_.Line("window.unload", {form.name()});
  // The message loop looks at what is still loaded only when a posted
  // message comes. An unload inside a sent message (the shell's tray
  // callback, a popup menu opened from it) would leave it waiting.
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  // A handler of this window may still be running (it unloaded its own form).
  if (w->busy()) {
    w->MarkDead();
    dying_.push_back(std::move(w));
  }
}

void Win32FormView::DestroyAll() {
  while (!windows_.empty()) Destroy(windows_.back()->form());
}

void Win32FormView::Reap(FormWindow* window) {
  std::erase_if(dying_, [window](const auto& w) { return w.get() == window; });
}

void Win32FormView::FormChanged(Form& form, FormProp what) {
  if (FormWindow* w = Find(form)) w->FormChanged(what);
}

void Win32FormView::ControlChanged(Control& control, Prop what) {
  if (FormWindow* w = Find(control.form())) w->ControlChanged(control, what);
}

void Win32FormView::BeginModal(Form& form) {
  FormWindow* modal = Find(form);
  std::vector<HWND>& taken = disabled_[&form];
  for (const auto& w : windows_) {
    if (w.get() == modal || !w->hwnd() || !IsWindowEnabled(w->hwnd())) continue;
    EnableWindow(w->hwnd(), FALSE);
    taken.push_back(w->hwnd());
  }
}

void Win32FormView::EndModal(Form& form) {
  ReleaseModal(form);
}

bool Win32FormView::TakesInput(const Form& form) const {
  return IsWindowEnabled(reinterpret_cast<HWND>(form.hWnd())) != FALSE;
}

void Win32FormView::ReleaseModal(const Form& form) {
  auto it = disabled_.find(&form);
  if (it == disabled_.end()) return;
  for (HWND h : it->second) {
    if (IsWindow(h)) EnableWindow(h, TRUE);
  }
  disabled_.erase(it);
}

void Win32FormView::ShowPopupMenu(Form& form, Control& menu) {
  FormWindow* w = Find(form);
  if (!w || !w->hwnd()) return;
  w->ShowPopup(menu);
}

TextSize Win32FormView::MeasureText(const Font& font, const std::string& text) {
  const UINT dpi = win32::ScreenDpi();
  const SIZE px = win32::TextPixels(font, text, dpi);
  // Rounded up, so that the label placed from these twips is never a pixel short.
  auto twips = [dpi](int pixels) {
    return (pixels * 1440 + static_cast<int>(dpi) - 1) / static_cast<int>(dpi);
  };
  return {twips(px.cx), twips(px.cy)};
}

bool Win32FormView::PreTranslate(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  FormWindow* w = FindWindow(GetAncestor(msg.hwnd, GA_ROOT));
  return w && w->PreTranslate(msg);
}

}  // namespace unw
