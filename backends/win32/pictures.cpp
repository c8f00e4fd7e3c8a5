#include "backends/win32/pictures.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

#include "backends/win32/glyphs.h"
#include "backends/win32/icons_win32.h"
#include "backends/win32/win32_util.h"
#include "resources/icons/tray_icon_art.h"

namespace unw::win32 {

namespace {

// The tray pictures are drawn up to this size.
constexpr int kLargestTrayArt = 64;

// The square of the box's smaller side, centred in it.
RECT Square(const RECT& box) {
  const int w = box.right - box.left, h = box.bottom - box.top;
  const int side = std::max(0, std::min(w, h));
  const int x = box.left + (w - side) / 2, y = box.top + (h - side) / 2;
  return RECT{x, y, x + side, y + side};
}

// The system's own icons, shared: never destroyed.
HICON SystemIcon(const std::string& picture) {
  if (picture == "sys.information") return LoadIcon(nullptr, IDI_INFORMATION);
  if (picture == "sys.exclamation") return LoadIcon(nullptr, IDI_EXCLAMATION);
  if (picture == "sys.stop") return LoadIcon(nullptr, IDI_HAND);
  if (picture == "sys.question") return LoadIcon(nullptr, IDI_QUESTION);
  return nullptr;
}

// "tray:SET:ELEMENT"; false when the name is not of that form.
bool ParseTray(const std::string& picture, int& set, int& element) {
  constexpr std::string_view kPrefix = "tray:";
  if (picture.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  const char* p = picture.data() + kPrefix.size();
  const char* end = picture.data() + picture.size();
  auto number = [&](int& out) {
    const auto [next, error] = std::from_chars(p, end, out);
    if (error != std::errc() || next == p) return false;
    p = next;
    return true;
  };
  if (!number(set) || p == end || *p++ != ':' || !number(element)) return false;
  return p == end;
}

}  // namespace

bool HasPicture(const std::string& picture) {
  int set = 0, element = 0;
  if (ParseTray(picture, set, element)) return !RenderTrayIcon(set, element, 16).pixels.empty();
  return SystemIcon(picture) || HasGlyph(picture);
}

bool DrawPicture(HDC dc, const RECT& box, const std::string& picture, bool enabled) {
  return DrawPicture(dc, box, picture, enabled,
                     DisabledInk{GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
                                 GetSysColor(COLOR_GRAYTEXT)});
}

bool DrawPicture(HDC dc, const RECT& box, const std::string& picture, bool enabled,
                 const DisabledInk& ink) {
  const RECT sq = Square(box);
  const int side = sq.right - sq.left;
  if (side <= 0) return false;
  if (HICON icon = SystemIcon(picture)) {
    DrawIconEx(dc, sq.left, sq.top, icon, side, side, 0, nullptr, DI_NORMAL);
    return true;
  }
  int set = 0, element = 0;
  if (ParseTray(picture, set, element)) {
    // Drawn afresh at the exact size where the art goes that far (a scaled icon would blur),
    // else at its largest and scaled.
    IconImage art = RenderTrayIcon(set, element, side);
    if (art.pixels.empty()) art = RenderTrayIcon(set, element, std::min(side, kLargestTrayArt));
    ScopedIcon icon = IconFromImage(art);
    if (!icon) return false;
    DrawIconEx(dc, sq.left, sq.top, icon, side, side, 0, nullptr, DI_NORMAL);
    return true;
  }
  if (!HasGlyph(picture)) return false;
  DrawGlyph(dc, sq, picture, enabled, ink);
  return true;
}

ScopedIcon PictureIcon(const std::string& picture, int size) {
  if (size <= 0) return {};
  // GDI draws without alpha: paint on a colour no picture uses, then make that colour clear.
  constexpr COLORREF kKey = RGB(255, 0, 255);
  BITMAPINFO bi = win32::TopDownBitmapInfo(size, size);
  void* bits = nullptr;
  ScopedGetDC screen(nullptr);
  ScopedMemDC dc(CreateCompatibleDC(screen));
  ScopedGdiObj<HBITMAP> bmp(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bmp || !bits) return {};
  IconImage image;
  bool drawn = false;
  {
    ScopedSelect selected(dc, bmp);
    RECT rc = {0, 0, size, size};
    const ScopedGdiObj<HBRUSH> key(CreateSolidBrush(kKey));
    FillRect(dc, &rc, key);
    drawn = DrawPicture(dc, rc, picture, true);
    GdiFlush();
  }
  image.size = size;
  const auto* px = static_cast<const uint32_t*>(bits);
  const uint32_t keyPixel = 0x00FF00FF;  // the key colour as a DIB stores it (0xRRGGBB)
  for (int i = 0; i < size * size; ++i) {
    const uint32_t rgb = px[i] & 0x00FFFFFF;
    image.pixels.push_back(rgb == keyPixel ? 0 : (0xFF000000u | rgb));
  }
  return drawn ? IconFromImage(image) : ScopedIcon();
}

}  // namespace unw::win32
