#include "resources/icons/tray_icon_art.h"

#include "resources/icons/icon_raster.h"
#include "resources/icons/icon_sets.h"

namespace unw {

IconImage RenderTrayIcon(int set, int element, int size) {
  using Draw = void (*)(art::Canvas&, int);
  static constexpr Draw kDraw[5] = {art::DrawClock, art::DrawModem, art::DrawMoon, art::DrawTank,
                                    art::DrawTraffic};
  static constexpr int kPictures[5] = {9, 49, 9, 16, 4};
  if (set < 0 || set > 4 || element < 0 || element >= kPictures[set]) return {};
  if (size < 16 || size > 64) return {};
  art::Canvas canvas(size);
  kDraw[set](canvas, element);
  return canvas.Finish();
}

}  // namespace unw
