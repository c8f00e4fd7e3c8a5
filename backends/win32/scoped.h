// Owners of Win32 handles, in the manner of SumatraPDF's ScopedWin.h: each
// releases its handle once, with the call that matches how it was obtained,
// when it goes out of scope. They pass wherever the system takes the handle.
#pragma once

#include <windows.h>

#include <utility>

#include "backends/win32/window_life.h"

namespace unw::win32 {

// A handle released by `Close`; a null handle owns nothing. Move-only.
template <typename Handle, typename Close>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : h_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return h_; }
  operator Handle() const& { return h_; }
  // A temporary would free its handle at once: `HFONT f = MakeFont();` must not compile.
  operator Handle() const&& = delete;
  // Gives the handle up to a new owner.
  Handle release() { return std::exchange(h_, Handle{}); }
  void reset(Handle h = Handle{}) {
    if (h_) Close{}(h_);
    h_ = h;
  }

 private:
  Handle h_{};
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DestroyIconHandle {
  void operator()(HICON h) const { DestroyIcon(h); }
};
struct CloseRegistryKey {
  void operator()(HKEY h) const { RegCloseKey(h); }
};
struct CloseKernelHandle {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct DestroyMenuHandle {
  void operator()(HMENU h) const { DestroyMenu(h); }
};
struct DestroyAccelerators {
  void operator()(HACCEL h) const { DestroyAcceleratorTable(h); }
};
struct DeleteMemoryDC {
  void operator()(HDC h) const { DeleteDC(h); }
};
struct DestroyWindowHandle {
  void operator()(HWND h) const { DestroyOwnWindow(h); }
};

// A font, bitmap, brush or pen made by the program.
template <typename T>
using ScopedGdiObj = Owned<T, DeleteGdiObject>;
// An icon the program made (never one of the system's shared icons).
using ScopedIcon = Owned<HICON, DestroyIconHandle>;
// An opened registry key (never a predefined root).
using ScopedKey = Owned<HKEY, CloseRegistryKey>;
// A process, thread or other kernel object; null (not INVALID_HANDLE_VALUE) means none.
using ScopedHandle = Owned<HANDLE, CloseKernelHandle>;
// A menu no window owns (a window destroys the menu bar it shows).
using ScopedMenu = Owned<HMENU, DestroyMenuHandle>;
using ScopedAccel = Owned<HACCEL, DestroyAccelerators>;
// A memory device context from CreateCompatibleDC.
using ScopedMemDC = Owned<HDC, DeleteMemoryDC>;
// A window of the program's own that no form owns, destroyed on the thread that made it.
using ScopedWindow = Owned<HWND, DestroyWindowHandle>;

// A window's (or, for null, the screen's) device context from GetDC.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ScopedGetDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  ScopedGetDC(ScopedGetDC&& other) noexcept
      : hwnd_(other.hwnd_), dc_(std::exchange(other.dc_, nullptr)) {}
  ScopedGetDC& operator=(ScopedGetDC&&) = delete;

  operator HDC() const& { return dc_; }
  operator HDC() const&& = delete;

 private:
  HWND hwnd_;
  HDC dc_;
};

// `object` selected into `dc` for the scope; the previous object goes back
// afterwards, so that the object can be deleted. A null object selects nothing.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelect(ScopedSelect&& other) noexcept
      : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
  ScopedSelect& operator=(ScopedSelect&&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The whole state of a device context (objects, colours, modes), put back
// at the end of the scope: what a window's painting must leave as it found it.
class ScopedSaveDC {
 public:
  explicit ScopedSaveDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~ScopedSaveDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  ScopedSaveDC(ScopedSaveDC&& other) noexcept
      : dc_(other.dc_), saved_(std::exchange(other.saved_, 0)) {}
  ScopedSaveDC& operator=(ScopedSaveDC&&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace unw::win32
