#include "backends/win32/icons_win32.h"

#include <cstring>
#include <vector>

namespace unw::win32 {

ScopedIcon IconFromImage(const IconImage& image) {
  const int size = image.size;
  if (size <= 0 || image.pixels.size() < static_cast<size_t>(size) * static_cast<size_t>(size))
    return {};

  BITMAPV5HEADER bi = {};
  bi.bV5Size = sizeof bi;
  bi.bV5Width = size;
  bi.bV5Height = -size;  // rows from the top, as the picture has them
  bi.bV5Planes = 1;
  bi.bV5BitCount = 32;
  bi.bV5Compression = BI_BITFIELDS;
  bi.bV5RedMask = 0x00FF0000;
  bi.bV5GreenMask = 0x0000FF00;
  bi.bV5BlueMask = 0x000000FF;
  bi.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  ScopedGdiObj<HBITMAP> color;
  {
    ScopedGetDC screen(nullptr);
    color.reset(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                 nullptr, 0));
  }
  if (!color || !bits) return {};

  // The mask only counts where the system draws without alpha: transparent
  // pixels there must be black in the colour image, so that they leave the
  // background as it is.
  const int maskStride = ((size + 15) / 16) * 2;  // monochrome rows are WORD-aligned
  std::vector<BYTE> mask(static_cast<size_t>(maskStride) * static_cast<size_t>(size), 0);
  auto* out = static_cast<uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x);
      uint32_t argb = image.pixels[i];
      if ((argb >> 24) == 0) {
        argb = 0;
        mask[static_cast<size_t>(y * maskStride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
      }
      out[i] = argb;
    }
  }
  GdiFlush();
  // The icon keeps copies of both bitmaps.
  ScopedGdiObj<HBITMAP> monochrome(CreateBitmap(size, size, 1, 1, mask.data()));
  if (!monochrome) return {};
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = monochrome;
  info.hbmColor = color;
  return ScopedIcon(CreateIconIndirect(&info));
}

ScopedIcon RenderIcon(int set, int element, int size) {
  return IconFromImage(RenderTrayIcon(set, element, size));
}

}  // namespace unw::win32
