#include "backends/win32/theme_win32.h"

#include <uxtheme.h>

namespace unw::win32 {

namespace {

// The dark colours, near those Windows gives its own dark windows.
constexpr Palette kDark = {
    true,
    RGB(32, 32, 32),     // face
    RGB(240, 240, 240),  // text
    RGB(128, 128, 128),  // grey
    RGB(45, 45, 45),     // field
    RGB(56, 56, 56),     // button
    RGB(40, 40, 40),     // pushed
    RGB(110, 110, 110),  // edge
    RGB(110, 175, 255),  // link
    RGB(70, 70, 70),     // emboss
};

// The build of Windows, from ntdll (GetVersionEx answers what the manifest promises instead).
DWORD WindowsBuild() {
  using Fn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto fn = ntdll ? reinterpret_cast<Fn>(
                        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtVersionNumbers")))
                  : nullptr;
  if (!fn) return 0;
  DWORD major = 0, minor = 0, build = 0;
  fn(&major, &minor, &build);
  if (major < 10) return 0;
  return build & 0x0FFFFFFF;
}

// The undocumented dark-mode calls of uxtheme, by ordinal, only on the builds known to have them
// at those ordinals (from Windows 10 1809); else null, and menus stay light.
struct DarkModeCalls {
  using SetAppModeFn =
      int(WINAPI*)(int);  // 1903 on: SetPreferredAppMode; 1809: AllowDarkModeForApp
  using AllowForWindowFn = BOOL(WINAPI*)(HWND, BOOL);
  using VoidFn = void(WINAPI*)();
  SetAppModeFn setAppMode = nullptr;
  bool appModeIsEnum = false;
  AllowForWindowFn allowForWindow = nullptr;
  VoidFn refreshPolicy = nullptr;
  VoidFn flushMenuThemes = nullptr;

  DarkModeCalls() {
    const DWORD build = WindowsBuild();
    if (build < 17763) return;
    HMODULE ux = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!ux) return;
    auto at = [ux](int ordinal) {
      return reinterpret_cast<void*>(GetProcAddress(ux, MAKEINTRESOURCEA(ordinal)));
    };
    setAppMode = reinterpret_cast<SetAppModeFn>(at(135));
    appModeIsEnum = build >= 18362;
    allowForWindow = reinterpret_cast<AllowForWindowFn>(at(133));
    refreshPolicy = reinterpret_cast<VoidFn>(at(104));
    flushMenuThemes = reinterpret_cast<VoidFn>(at(136));
  }
};

const DarkModeCalls& DarkMode() {
  static const DarkModeCalls calls;
  return calls;
}

// DwmSetWindowAttribute, looked up so that a system without the DWM runs all the same.
HRESULT SetDwmAttribute(HWND hwnd, DWORD attribute, BOOL value) {
  using Fn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const Fn fn = [] {
    HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return dwm ? reinterpret_cast<Fn>(
                     reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
               : nullptr;
  }();
  return fn ? fn(hwnd, attribute, &value, sizeof value) : E_NOTIMPL;
}

}  // namespace

Palette PaletteOf(Look look) {
  if (look == Look::kDark) return kDark;
  // Light is the system's classic colours; high contrast is the user's scheme itself.
  Palette p;
  p.own = false;
  p.face = GetSysColor(COLOR_BTNFACE);
  p.text = GetSysColor(COLOR_BTNTEXT);
  p.grey = GetSysColor(COLOR_GRAYTEXT);
  p.field = GetSysColor(COLOR_WINDOW);
  p.button = GetSysColor(COLOR_BTNFACE);
  p.pushed = GetSysColor(COLOR_BTNFACE);
  p.edge = GetSysColor(COLOR_WINDOWFRAME);
  p.link = look == Look::kHighContrast ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 204);
  p.emboss = GetSysColor(COLOR_BTNHIGHLIGHT);
  return p;
}

void ThemePaint::Set(Look look) {
  look_ = look;
  palette_ = PaletteOf(look);
  if (!palette_.own) {
    face_.reset();
    field_.reset();
    button_.reset();
    pushed_.reset();
    return;
  }
  face_.reset(CreateSolidBrush(palette_.face));
  field_.reset(CreateSolidBrush(palette_.field));
  button_.reset(CreateSolidBrush(palette_.button));
  pushed_.reset(CreateSolidBrush(palette_.pushed));
}

HBRUSH ThemePaint::Face() const {
  return palette_.own ? face_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH ThemePaint::Field() const {
  return palette_.own ? field_.get() : GetSysColorBrush(COLOR_WINDOW);
}

HBRUSH ThemePaint::Button(bool pushed) const {
  if (!palette_.own) return GetSysColorBrush(COLOR_BTNFACE);
  return pushed ? pushed_.get() : button_.get();
}

DisabledInk ThemePaint::Ink() const {
  // Read afresh in the system's colours: a scheme may change under a light window.
  if (!palette_.own)
    return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
            GetSysColor(COLOR_GRAYTEXT)};
  return {palette_.button, palette_.emboss, palette_.grey};
}

HBRUSH ThemePaint::ColorControl(UINT msg, HDC dc, bool enabled) const {
  if (!palette_.own) return nullptr;
  const bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, enabled ? palette_.text : palette_.grey);
  SetBkColor(dc, field ? palette_.field : palette_.face);
  return field ? field_.get() : face_.get();
}

void ApplyFrameLook(HWND top, bool dark) {
  const DarkModeCalls& calls = DarkMode();
  if (calls.allowForWindow) calls.allowForWindow(top, dark);
  // The title bar: attribute 20 from Windows 10 2004, 19 on the builds before it.
  if (FAILED(SetDwmAttribute(top, 20, dark))) SetDwmAttribute(top, 19, dark);
}

void ApplyControlLook(HWND control, ControlKind kind, bool dark) {
  const DarkModeCalls& calls = DarkMode();
  if (calls.allowForWindow) calls.allowForWindow(control, dark);
  switch (kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
    case ControlKind::kFrame:
      // Their visual style draws the caption in its own dark text whatever colour we give: while
      // dark they are drawn the classic way, which takes ours.
      if (dark)
        SetWindowTheme(control, L"", L"");
      else
        SetWindowTheme(control, nullptr, nullptr);
      break;
    case ControlKind::kTextBox:
    case ControlKind::kComboBox:
      SetWindowTheme(control, dark ? L"DarkMode_CFD" : nullptr, nullptr);
      break;
    case ControlKind::kListBox:
    case ControlKind::kButton:
      SetWindowTheme(control, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
      break;
    default:
      break;
  }
}

void ApplyMenuLook(bool dark) {
  const DarkModeCalls& calls = DarkMode();
  if (!calls.setAppMode) return;
  // 1903 on: ForceDark (2) or ForceLight (3); 1809 only allows dark or not.
  if (calls.appModeIsEnum)
    calls.setAppMode(dark ? 2 : 3);
  else
    calls.setAppMode(dark ? 1 : 0);
  if (calls.refreshPolicy) calls.refreshPolicy();
  if (calls.flushMenuThemes) calls.flushMenuThemes();
}

}  // namespace unw::win32
