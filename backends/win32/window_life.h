// The birth and death of the program's own windows, told apart from forged messages.
//
// Any program of the same user may send or post WM_NCCREATE, WM_CREATE, WM_DESTROY or
// WM_NCDESTROY to a window of ours at any time, with pointers of its choosing. A window procedure
// binds its object only while this thread is creating that very object's window (CreatingWindow
// around CreateWindowEx, BindOnCreate in WM_NCCREATE), and lets go of it only while this thread
// destroys a window of its own (DestroyOwnWindow instead of DestroyWindow).
#pragma once

#include <windows.h>

namespace unw::win32 {

// Set around the CreateWindowEx that makes `object`'s window, passing `object` as its creation
// parameter.
class CreatingWindow {
 public:
  explicit CreatingWindow(const void* object);
  ~CreatingWindow();
  CreatingWindow(const CreatingWindow&) = delete;
  CreatingWindow& operator=(const CreatingWindow&) = delete;

 private:
  const void* outer_;
};

// In a window procedure's WM_NCCREATE: the object whose window this is, when the program itself
// is creating it now (its creation parameter is the object named by CreatingWindow, and the
// window holds no object yet); null for a forged message, which must be dropped without reading
// anything more of it. The pointer is not stored: the caller keeps it where it likes.
void* CreatedObject(HWND hwnd, LPARAM lParam);

// DestroyWindow, with this thread marked as destroying windows of its own for the call (the
// window's children and owned windows go with it).
BOOL DestroyOwnWindow(HWND hwnd);

// Whether a WM_DESTROY or WM_NCDESTROY now is the program's own doing: this thread is inside
// DestroyOwnWindow. Otherwise it was forged, and the window lives on.
bool DestroyingOwnWindow();

// WM_NCCREATE, WM_CREATE, WM_DESTROY or WM_NCDESTROY that the program did not bring about: to be
// dropped (answered 0) by a window procedure that has bound its object already.
bool ForgedLifeMessage(UINT msg);

// The front of a window procedure whose object sits in GWLP_USERDATA: binds `self` at the
// program's own WM_NCCREATE, drops a forged one and the other forged life messages. Returns true
// when the message is answered so (its answer in `result`); else `self` is the window's object,
// null before it is bound.
template <class T>
bool AnswerLife(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, T*& self) {
  if (msg == WM_NCCREATE) {
    void* created = CreatedObject(hwnd, lParam);
    if (!created) {
      result = FALSE;
      return true;
    }
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    result = DefWindowProcW(hwnd, msg, wParam, lParam);
    return true;
  }
  if (ForgedLifeMessage(msg)) {
    result = 0;
    return true;
  }
  self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return false;
}

// A hidden top-level window that hears what the system broadcasts to top-level windows (a
// message-only window hears none), made for one object; its class goes with it.
class ListeningWindow {
 public:
  ListeningWindow() = default;
  ~ListeningWindow();
  ListeningWindow(const ListeningWindow&) = delete;
  ListeningWindow& operator=(const ListeningWindow&) = delete;
  // Registers `windowClass` with `proc` and makes the window for `object` (its procedure binds it
  // with AnswerLife); a second call keeps the first window. Whether the window is there.
  bool Open(const wchar_t* windowClass, WNDPROC proc, const void* object);
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
  const wchar_t* class_ = nullptr;
};

}  // namespace unw::win32
