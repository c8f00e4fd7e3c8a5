// A tiny coverage rasterizer for the tray icon pictures: filled shapes are
// sampled 4x4 times per pixel and blended source-over in premultiplied
// colour. Only + - * / sqrt and rounding are used, so every platform gives the
// same pixels (as long as the compiler does not fuse multiply-adds: GCC does
// not under -std=c++20, and x86-64 without -march has no FMA anyway).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "resources/icons/tray_icon_art.h"

namespace unw::art {

struct Pt {
  double x = 0, y = 0;
};

// Inside tests in pixel coordinates (x to the right, y down).
bool InRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r);
bool InEllipse(double x, double y, double cx, double cy, double rx, double ry);
bool InCapsule(double x, double y, Pt a, Pt b, double halfWidth);
// Inside the rectangle of `halfWidth` either side of the segment a-b.
bool InBar(double x, double y, Pt a, Pt b, double halfWidth);
bool InPolygon(double x, double y, const std::vector<Pt>& pts);

class Canvas {
 public:
  explicit Canvas(int size);

  int size() const { return size_; }
  // Pixels per design unit: every set is designed on a 16 x 16 unit grid.
  double u() const { return size_ / 16.0; }
  // Design units to pixels, unsnapped and snapped to the nearest pixel edge.
  double P(double v) const { return v * u(); }
  double S(double v) const { return std::round(v * u()); }
  // Width of the dark outline in pixels: 1 below 30 px, 2 from 30 px, 3 from 50 px.
  double Border() const { return std::max(1.0, std::round(size_ / 20.0)); }

  // Blends `argb` into every pixel inside the box, weighted by the share of the
  // pixel's samples for which `inside(x, y)` holds.
  template <class Inside>
  void Fill(double x0, double y0, double x1, double y1, uint32_t argb, Inside inside) {
    const int px0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int py0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int px1 = std::min(size_, static_cast<int>(std::ceil(x1)));
    const int py1 = std::min(size_, static_cast<int>(std::ceil(y1)));
    for (int py = py0; py < py1; ++py) {
      for (int px = px0; px < px1; ++px) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            if (inside(px + (sx + 0.5) / 4.0, py + (sy + 0.5) / 4.0)) ++hits;
          }
        }
        if (hits) Blend(px, py, argb, hits / 16.0);
      }
    }
  }

  void Rect(double x0, double y0, double x1, double y1, uint32_t argb);
  void RoundRect(double x0, double y0, double x1, double y1, double r, uint32_t argb);
  void Ellipse(double cx, double cy, double rx, double ry, uint32_t argb);
  void Circle(double cx, double cy, double r, uint32_t argb) { Ellipse(cx, cy, r, r, argb); }
  // A straight stroke of `width` with round caps.
  void Line(Pt a, Pt b, double width, uint32_t argb);
  // A straight stroke of `width` with flat ends, from `a` to `b`.
  void Bar(Pt a, Pt b, double width, uint32_t argb);
  void Polygon(const std::vector<Pt>& pts, uint32_t argb);

  // The same shapes with a dark `ink` border of Border() pixels inside their edge.
  void OutlinedRoundRect(double x0, double y0, double x1, double y1, double r, uint32_t fill,
                         uint32_t ink);
  void OutlinedCircle(double cx, double cy, double r, uint32_t fill, uint32_t ink);

  IconImage Finish() const;

 private:
  void Blend(int px, int py, uint32_t argb, double coverage);

  int size_;
  std::vector<double> rgba_;  // premultiplied, 0..1, four per pixel
};

}  // namespace unw::art
