// Small helpers shared by the Win32 services: handle casts, window text, the
// program's file and the twips <-> pixels arithmetic at a window's DPI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace unw::win32 {

inline HWND AsHwnd(std::uintptr_t h) {
  return reinterpret_cast<HWND>(h);
}
inline std::uintptr_t AsHandle(HWND h) {
  return reinterpret_cast<std::uintptr_t>(h);
}

// The text of any window, as UTF-8.
std::string WindowText(HWND hwnd);

// The full name of the running program's file; empty when it cannot be had.
std::wstring ProgramFile();

// The DPI a window is drawn at: GetDpiForWindow where the system has it
// (per-monitor aware), else the screen's LOGPIXELSY.
UINT DpiOf(HWND hwnd);
// Whether the system says a window's own DPI (GetDpiForWindow), rather than only the screen's.
bool WindowDpiKnown();
// The screen's DPI, for measuring without a window.
UINT ScreenDpi();

// Twips are 1/1440 inch, so a length scales with the DPI.
inline int TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}
inline int PixelsToTwips(int pixels, UINT dpi) {
  return MulDiv(pixels, 1440, static_cast<int>(dpi));
}

// A 32-bit, top-down (first row first) device-independent bitmap of that size.
inline BITMAPINFO TopDownBitmapInfo(int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// GetSystemMetricsForDpi where available, else GetSystemMetrics (the
// system DPI's value).
int SystemMetricForDpi(int index, UINT dpi);

// AdjustWindowRectExForDpi where available, else AdjustWindowRectEx.
void AdjustRectForDpi(RECT& rc, DWORD style, bool menu, DWORD exStyle, UINT dpi);

}  // namespace unw::win32
