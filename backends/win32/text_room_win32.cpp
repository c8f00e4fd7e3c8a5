#include "backends/win32/text_room_win32.h"

#include <algorithm>

#include "backends/win32/control_windows.h"
#include "backends/win32/pictures.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

namespace unw::win32 {

SIZE TextPixels(const Font& font, const std::string& text, UINT dpi, int wrapPixels) {
  ScopedGetDC screen(nullptr);
  if (!screen) return {};
  // A label without text keeps the height of one line.
  const std::wstring wide = Wide(WindowsLines(text.empty() ? " " : text));
  const int length = static_cast<int>(wide.size());
  ScopedGdiObj<HFONT> hfont = CreateModelFont(font, dpi);
  ScopedMemDC dc(CreateCompatibleDC(screen));
  ScopedSelect fontIn(dc, hfont);
  // Laid out as a label draws it: each line (CR LF) whole, tabs expanded, "&" as an access key.
  const UINT format = DT_LEFT | DT_TOP | DT_EXPANDTABS | DT_NOCLIP |
                      (wrapPixels > 0 ? static_cast<UINT>(DT_WORDBREAK) : 0u);
  RECT rc = {0, 0, std::max(0, wrapPixels), 0};
  DrawTextW(dc, wide.c_str(), length, &rc, DT_CALCRECT | format);
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (text.empty()) return {0, height};
  // Some fonts draw a little beyond their advance (the last glyph of a line, an italic slant):
  // the control, which clips at its edge, must hold the ink too. Draw the text and look.
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  const int slack = std::max<int>(tm.tmHeight, 8);
  const int bw = width + slack, bh = height + slack;
  BITMAPINFO bi = TopDownBitmapInfo(bw, bh);
  void* bits = nullptr;
  ScopedGdiObj<HBITMAP> bmp(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bmp && bits) {
    ScopedSelect bmpIn(dc, bmp);
    RECT all = {0, 0, bw, bh};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT at = {0, 0, width, height};
    DrawTextW(dc, wide.c_str(), length, &at, format);
    GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < bh; ++y) {
      for (int x = 0; x < bw; ++x) {
        if ((px[y * bw + x] & 0xFFFFFF) == 0xFFFFFF) continue;
        width = std::max(width, x + 1);
        height = std::max(height, y + 1);
      }
    }
  }
  return {width, height};
}

SIZE ChromePixels(const Control& c, UINT dpi) {
  const int d = static_cast<int>(dpi);
  switch (c.kind()) {
    case ControlKind::kCheckBox:
    case ControlKind::kOption: {
      // The box or circle, the gap to the text (half a digit's width at most under the system's
      // and Wine's drawing: a whole one here) and the focus frame round the text.
      const int box = SystemMetricForDpi(SM_CXMENUCHECK, dpi);
      return {box + MulDiv(8, d, 96) + MulDiv(2, d, 96), MulDiv(2, d, 96)};
    }
    case ControlKind::kButton:
      if (HasPicture(c.picture())) {
        // The picture left of the caption, a gap between them, the two pushed to the left edge
        // (less its margin) when they do not fit, the caption clipped short of the right edge;
        // the default button's outline on each side.
        const int picture = MulDiv(16, d, 96) + MulDiv(4, d, 96);
        const int outline = c.isDefaultButton() ? 2 : 0;
        return {picture + MulDiv(3, d, 96) + MulDiv(2, d, 96) + outline, 2 * MulDiv(4, d, 96)};
      }
      // The raised edge, the focus frame and the space inside it, on each side.
      return {2 * MulDiv(6, d, 96), 2 * MulDiv(4, d, 96)};
    case ControlKind::kFrame:
      // The caption's indent from each end and the gap the line leaves round it.
      return {2 * MulDiv(10, d, 96), 0};
    default:
      return {0, 0};
  }
}

void Win32TextRoom::SetDpi(UINT dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  known_.clear();
}

TextSize Win32TextRoom::Needs(const Control& c, int wrapWidth) {
  if (!HoldsText(c)) return {};
  const std::string text = WindowTextOf(c);
  const Font& f = c.font();
  // A button with a picture needs more than one without, the default button more than others.
  const int kind = static_cast<int>(c.kind()) * 4 + (HasPicture(c.picture()) ? 2 : 0) +
                   (c.isDefaultButton() ? 1 : 0);
  auto key = std::make_tuple(kind, f.name, f.size, (f.italic ? 2 : 0) + (f.bold ? 1 : 0), f.weight,
                             text, wrapWidth);
  if (auto it = known_.find(key); it != known_.end()) return it->second;
  const SIZE chrome = ChromePixels(c, dpi_);
  const int wrap =
      wrapWidth > 0 ? std::max(1, TwipsToPixels(wrapWidth, dpi_) - static_cast<int>(chrome.cx)) : 0;
  const SIZE px = TextPixels(f, text, dpi_, wrap);
  // Rounded up, so that the control placed from these twips is never a pixel short.
  const int d = static_cast<int>(dpi_);
  auto twips = [d](int pixels) { return (pixels * 1440 + d - 1) / d; };
  const TextSize need{twips(px.cx + chrome.cx), twips(px.cy + chrome.cy)};
  // Bounded: a countdown's caption is new every second.
  if (known_.size() >= 1024) known_.clear();
  known_.emplace(std::move(key), need);
  return need;
}

}  // namespace unw::win32
