#include "backends/win32/window_life.h"

namespace unw::win32 {

namespace {

thread_local const void* creating = nullptr;
thread_local int destroying = 0;

}  // namespace

CreatingWindow::CreatingWindow(const void* object) : outer_(creating) {
  creating = object;
}

CreatingWindow::~CreatingWindow() {
  creating = outer_;
}

void* CreatedObject(HWND hwnd, LPARAM lParam) {
  // Nothing of the message is read unless this thread is creating a window: a posted one's
  // lParam points anywhere.
  if (!creating || !lParam || GetWindowLongPtrW(hwnd, GWLP_USERDATA) != 0) return nullptr;
  void* object = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams;
  if (object != creating) return nullptr;
  // One window per marker: a second WM_NCCREATE while it is set finds it taken.
  creating = nullptr;
  return object;
}

BOOL DestroyOwnWindow(HWND hwnd) {
  ++destroying;
  const BOOL done = DestroyWindow(hwnd);
  --destroying;
  return done;
}

bool DestroyingOwnWindow() {
  return destroying > 0;
}

bool ForgedLifeMessage(UINT msg) {
  switch (msg) {
    case WM_NCCREATE:
    case WM_CREATE:
      return true;  // a window is created once; its procedure binds during that creation
    case WM_DESTROY:
    case WM_NCDESTROY:
      return !DestroyingOwnWindow();
    default:
      return false;
  }
}

ListeningWindow::~ListeningWindow() {
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyOwnWindow(hwnd_);
  UnregisterClassW(class_, GetModuleHandleW(nullptr));
}

bool ListeningWindow::Open(const wchar_t* windowClass, WNDPROC proc, const void* object) {
  if (hwnd_) return true;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = windowClass;
  RegisterClassExW(&wc);
  CreatingWindow creating(object);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr, wc.hInstance, const_cast<void*>(object));
  if (hwnd_) class_ = windowClass;
  return hwnd_ != nullptr;
}

}  // namespace unw::win32
