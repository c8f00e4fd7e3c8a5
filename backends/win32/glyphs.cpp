#include "backends/win32/glyphs.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "backends/win32/scoped.h"

namespace unw::win32 {

namespace {

struct Pt {
  double x, y;
};

// How a pass paints: in colour, or one of the two passes of a disabled
// glyph (a highlight copy shifted down-right, then the grey shape on top).
enum class Pass { kColor, kEmboss, kGrey };

// Draws on a 100 x 100 design grid mapped onto a square of the box.
class Painter {
 public:
  Painter(HDC dc, const RECT& box, Pass pass, const DisabledInk& ink)
      : dc_(dc), pass_(pass), ink_(ink) {
    const int w = box.right - box.left, h = box.bottom - box.top;
    side_ = std::min(w, h);
    x0_ = box.left + (w - side_) / 2;
    y0_ = box.top + (h - side_) / 2;
    if (pass == Pass::kEmboss) {
      ++x0_;
      ++y0_;
    }
  }

  int side() const { return side_; }

  void Polygon(std::initializer_list<Pt> pts, COLORREF fill, COLORREF line) {
    std::vector<Pt> v(pts);
    PolygonOf(v, fill, line);
  }

  void PolygonOf(const std::vector<Pt>& pts, COLORREF fill, COLORREF line) {
    std::vector<POINT> p;
    for (const Pt& q : pts) p.push_back(Map(q));
    Tools t(dc_, Ink(fill), Ink(line), 1);
    ::Polygon(dc_, p.data(), static_cast<int>(p.size()));
  }

  void Rect(Pt a, Pt b, COLORREF fill, COLORREF line) {
    Polygon({a, {b.x, a.y}, b, {a.x, b.y}}, fill, line);
  }

  void Ellipse(Pt a, Pt b, COLORREF fill, COLORREF line) {
    POINT p = Map(a), q = Map(b);
    Tools t(dc_, Ink(fill), Ink(line), 1);
    ::Ellipse(dc_, p.x, p.y, q.x + 1, q.y + 1);
  }

  // An unfilled ellipse drawn with a wide pen (a cup's handle).
  void Ring(Pt a, Pt b, double width, COLORREF color) {
    POINT p = Map(a), q = Map(b);
    ScopedGdiObj<HPEN> pen = WidePen(width, Ink(color));
    ScopedSelect penIn(dc_, pen), hollow(dc_, GetStockObject(NULL_BRUSH));
    ::Ellipse(dc_, p.x, p.y, q.x + 1, q.y + 1);
  }

  // An arc of the ellipse in the box a-b, counter-clockwise from the ray through `from` to the
  // ray through `to`, drawn with a wide pen.
  void Arc(Pt a, Pt b, Pt from, Pt to, double width, COLORREF color) {
    POINT p = Map(a), q = Map(b), f = Map(from), t = Map(to);
    ScopedGdiObj<HPEN> pen = WidePen(width, Ink(color));
    ScopedSelect penIn(dc_, pen);
    ::Arc(dc_, p.x, p.y, q.x + 1, q.y + 1, f.x, f.y, t.x, t.y);
  }

  // A polyline (or, with `bezier`, cubic curves) with round ends.
  void Stroke(std::initializer_list<Pt> pts, double width, COLORREF color, bool bezier = false) {
    std::vector<POINT> p;
    for (const Pt& q : pts) p.push_back(Map(q));
    ScopedGdiObj<HPEN> pen = WidePen(width, Ink(color));
    ScopedSelect penIn(dc_, pen);
    if (bezier)
      PolyBezier(dc_, p.data(), static_cast<DWORD>(p.size()));
    else
      Polyline(dc_, p.data(), static_cast<int>(p.size()));
  }

 private:
  // A solid brush and pen selected for the lifetime of one shape; the
  // selections go before the objects (members end in reverse order).
  struct Tools {
    Tools(HDC dc, COLORREF fill, COLORREF line, int width)
        : brush(CreateSolidBrush(fill)),
          pen(CreatePen(PS_SOLID, width, line)),
          brushIn(dc, brush),
          penIn(dc, pen) {}
    ScopedGdiObj<HBRUSH> brush;
    ScopedGdiObj<HPEN> pen;
    ScopedSelect brushIn, penIn;
  };

  ScopedGdiObj<HPEN> WidePen(double width, COLORREF color) const {
    LOGBRUSH lb = {BS_SOLID, color, 0};
    const DWORD w = static_cast<DWORD>(std::max(1L, std::lround(width * side_ / 100.0)));
    return ScopedGdiObj<HPEN>(ExtCreatePen(
        PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, w, &lb, 0, nullptr));
  }

  POINT Map(Pt p) const {
    return POINT{x0_ + static_cast<LONG>(std::lround(p.x * side_ / 100.0)),
                 y0_ + static_cast<LONG>(std::lround(p.y * side_ / 100.0))};
  }

  // Light parts of a disabled glyph take the button face, so that details
  // (the "i", a label) stay visible against the grey of the dark parts.
  COLORREF Ink(COLORREF c) const {
    if (pass_ == Pass::kColor) return c;
    const int lum = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
    if (lum > 190) return ink_.face;
    return pass_ == Pass::kEmboss ? ink_.emboss : ink_.grey;
  }

  HDC dc_;
  Pass pass_;
  DisabledInk ink_;
  int side_ = 0;
  LONG x0_ = 0, y0_ = 0;
};

constexpr COLORREF kOutline = RGB(40, 40, 40);

void Start(Painter& p) {
  p.Polygon({{28, 16}, {84, 50}, {28, 84}}, RGB(20, 160, 70), RGB(0, 90, 35));
}

void Pause(Painter& p) {
  p.Rect({24, 18}, {43, 82}, RGB(40, 90, 190), RGB(15, 45, 110));
  p.Rect({57, 18}, {76, 82}, RGB(40, 90, 190), RGB(15, 45, 110));
}

void Stop(Painter& p) {
  p.Rect({20, 20}, {80, 80}, RGB(205, 45, 45), RGB(120, 20, 20));
}

// A pencil lying from bottom-left (its point) to top-right (its eraser).
void Change(Painter& p) {
  const Pt tip{12, 88};
  const double d = std::sqrt(0.5);
  auto along = [&](double t, double side) {
    return Pt{tip.x + t * d + side * d, tip.y - t * d + side * d};
  };
  const double hw = 11;
  p.Polygon({tip, along(24, hw), along(24, -hw)}, RGB(240, 210, 165), kOutline);
  p.Polygon({tip, along(9, hw * 9 / 24), along(9, -hw * 9 / 24)}, RGB(50, 50, 50), kOutline);
  p.Polygon({along(24, hw), along(66, hw), along(66, -hw), along(24, -hw)}, RGB(245, 185, 30),
            kOutline);
  p.Polygon({along(66, hw), along(74, hw), along(74, -hw), along(66, -hw)}, RGB(160, 160, 165),
            kOutline);
  p.Polygon({along(74, hw), along(88, hw), along(88, -hw), along(74, -hw)}, RGB(230, 110, 135),
            kOutline);
}

// A floppy disk: the usual "save" picture.
void Save(Painter& p) {
  const COLORREF body = RGB(40, 90, 170), edge = RGB(15, 45, 100);
  p.Polygon({{16, 14}, {76, 14}, {86, 24}, {86, 86}, {16, 86}}, body, edge);
  p.Rect({32, 14}, {68, 40}, RGB(205, 210, 215), edge);
  p.Rect({55, 19}, {63, 35}, body, edge);
  p.Rect({27, 54}, {75, 86}, RGB(250, 250, 250), edge);
  p.Stroke({{34, 64}, {68, 64}}, 3, RGB(120, 140, 170));
  p.Stroke({{34, 74}, {68, 74}}, 3, RGB(120, 140, 170));
}

// A steaming cup of coffee on its saucer: time for a break.
void Cup(Painter& p) {
  const COLORREF mug = RGB(165, 95, 45), edge = RGB(80, 40, 15);
  p.Ellipse({8, 78}, {90, 92}, RGB(200, 200, 205), kOutline);
  p.Ring({58, 46}, {84, 70}, 7, edge);
  p.Polygon({{18, 40}, {72, 40}, {66, 82}, {24, 82}}, mug, edge);
  p.Ellipse({18, 35}, {72, 46}, RGB(95, 50, 20), edge);
  p.Stroke({{34, 30}, {26, 22}, {42, 16}, {34, 6}}, 4, RGB(140, 140, 140), true);
  p.Stroke({{54, 30}, {46, 22}, {62, 16}, {54, 6}}, 4, RGB(140, 140, 140), true);
}

// A white "i" on a blue disc: information about the program.
void About(Painter& p) {
  const COLORREF white = RGB(255, 255, 255);
  p.Ellipse({8, 8}, {92, 92}, RGB(35, 105, 215), RGB(15, 55, 130));
  p.Ellipse({43, 20}, {57, 34}, white, white);
  p.Rect({44, 42}, {56, 74}, white, white);
  p.Rect({37, 42}, {56, 48}, white, white);
  p.Rect({36, 70}, {64, 76}, white, white);
}

void Exit(Painter& p) {
  p.Stroke({{24, 24}, {76, 76}}, 20, RGB(130, 20, 20));
  p.Stroke({{76, 24}, {24, 76}}, 20, RGB(130, 20, 20));
  p.Stroke({{24, 24}, {76, 76}}, 14, RGB(220, 50, 50));
  p.Stroke({{76, 24}, {24, 76}}, 14, RGB(220, 50, 50));
}

// The media "play" triangle of the sound previews, blue to tell it from the timer's Start.
void Play(Painter& p) {
  p.Polygon({{30, 18}, {82, 50}, {30, 82}}, RGB(40, 110, 205), RGB(15, 55, 120));
}

// An alarm clock with a sleepy "z": remind me later.
void Remind(Painter& p) {
  const COLORREF rim = RGB(215, 95, 35), edge = RGB(120, 45, 10), ink = RGB(40, 40, 40);
  p.Stroke({{28, 74}, {20, 86}}, 8, edge);
  p.Stroke({{62, 74}, {70, 86}}, 8, edge);
  p.Ellipse({8, 14}, {30, 36}, rim, edge);
  p.Ellipse({60, 14}, {82, 36}, rim, edge);
  p.Ellipse({10, 22}, {80, 92}, rim, edge);
  p.Ellipse({19, 31}, {71, 83}, RGB(255, 255, 250), edge);
  p.Stroke({{45, 57}, {45, 40}}, 7, ink);
  p.Stroke({{45, 57}, {58, 64}}, 7, ink);
  p.Stroke({{70, 6}, {92, 6}, {70, 26}, {92, 26}}, 6, RGB(40, 90, 190));
}

// A circular arrow turning back: everything back to how it came.
void Defaults(Painter& p) {
  const COLORREF arrow = RGB(30, 140, 90);
  // Nearly a whole turn, open at the upper right; the head points on, anticlockwise.
  p.Arc({16, 16}, {84, 84}, {75, 7}, {97, 33}, 13, arrow);
  p.Polygon({{95, 34}, {69, 44}, {75, 19}}, arrow, RGB(10, 80, 45));
}

// The maker's mark: a white "K" whose leg is a leaf, with a sun in its crook, on a teal disc.
void Logo(Painter& p) {
  const COLORREF white = RGB(255, 255, 255);
  p.Ellipse({3, 3}, {97, 97}, RGB(22, 96, 108), RGB(12, 62, 72));
  p.Ellipse({60, 41}, {78, 59}, RGB(250, 172, 58), RGB(226, 132, 30));
  p.Stroke({{33, 24}, {33, 76}}, 12, white);
  p.Stroke({{38, 51}, {63, 25}}, 11, white);
  // The leaf: a pointed blade along the leg, widest in its middle, with its midrib.
  const Pt from{40, 53}, to{76, 84};
  const double dx = to.x - from.x, dy = to.y - from.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  const double nx = -dy / len, ny = dx / len;
  std::vector<Pt> blade;
  constexpr int kSteps = 12;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps;
    const double w = 9.5 * std::sin(3.14159265358979 * t);
    blade.push_back({from.x + dx * t + nx * w, from.y + dy * t + ny * w});
  }
  for (int i = kSteps - 1; i > 0; --i) {
    const double t = static_cast<double>(i) / kSteps;
    const double w = 9.5 * std::sin(3.14159265358979 * t);
    blade.push_back({from.x + dx * t - nx * w, from.y + dy * t - ny * w});
  }
  p.PolygonOf(blade, RGB(126, 204, 96), RGB(70, 150, 60));
  p.Stroke({{from.x + dx * 0.12, from.y + dy * 0.12}, {from.x + dx * 0.85, from.y + dy * 0.85}},
           2.5, RGB(70, 150, 60));
}

using GlyphFn = void (*)(Painter&);

GlyphFn Find(const std::string& picture) {
  struct Entry {
    const char* name;
    GlyphFn draw;
  };
  static const Entry kGlyphs[] = {
      {"start", Start}, {"pause", Pause},   {"stop", Stop},         {"change", Change},
      {"save", Save},   {"unwindle", Cup},  {"about", About},       {"exit", Exit},
      {"play", Play},   {"remind", Remind}, {"defaults", Defaults}, {"logo", Logo},
  };
  for (const Entry& e : kGlyphs) {
    if (picture == e.name) return e.draw;
  }
  return nullptr;
}

}  // namespace

bool HasGlyph(const std::string& picture) {
  return Find(picture) != nullptr;
}

void DrawGlyph(HDC dc, const RECT& box, const std::string& picture, bool enabled,
               const DisabledInk& ink) {
  GlyphFn draw = Find(picture);
  if (!draw) return;
  ScopedSaveDC saved(dc);
  if (enabled) {
    Painter p(dc, box, Pass::kColor, ink);
    draw(p);
  } else {
    Painter emboss(dc, box, Pass::kEmboss, ink);
    draw(emboss);
    Painter grey(dc, box, Pass::kGrey, ink);
    draw(grey);
  }
}

}  // namespace unw::win32
