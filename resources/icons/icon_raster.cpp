#include "resources/icons/icon_raster.h"

#include <cstddef>

namespace unw::art {

bool InRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
  if (x < x0 || x > x1 || y < y0 || y > y1) return false;
  const double dx = std::max({x0 + r - x, x - (x1 - r), 0.0});
  const double dy = std::max({y0 + r - y, y - (y1 - r), 0.0});
  return dx * dx + dy * dy <= r * r;
}

bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
  if (rx <= 0 || ry <= 0) return false;
  const double dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

bool InCapsule(double x, double y, Pt a, Pt b, double halfWidth) {
  const double vx = b.x - a.x, vy = b.y - a.y;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((x - a.x) * vx + (y - a.y) * vy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
  return dx * dx + dy * dy <= halfWidth * halfWidth;
}

bool InBar(double x, double y, Pt a, Pt b, double halfWidth) {
  const double vx = b.x - a.x, vy = b.y - a.y;
  const double len2 = vx * vx + vy * vy;
  if (len2 <= 0) return false;
  const double t = ((x - a.x) * vx + (y - a.y) * vy) / len2;
  const double cross = (x - a.x) * vy - (y - a.y) * vx;  // |v| times the distance
  return t >= 0 && t <= 1 && cross * cross <= halfWidth * halfWidth * len2;
}

bool InPolygon(double x, double y, const std::vector<Pt>& pts) {
  bool in = false;
  for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const Pt& a = pts[i];
    const Pt& b = pts[j];
    if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
  }
  return in;
}

Canvas::Canvas(int size) : size_(size), rgba_(static_cast<std::size_t>(size) * size * 4, 0.0) {}

void Canvas::Blend(int px, int py, uint32_t argb, double coverage) {
  const double a = ((argb >> 24) & 0xFF) / 255.0 * coverage;
  const double src[3] = {((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                         (argb & 0xFF) / 255.0};
  double* d = &rgba_[(static_cast<std::size_t>(py) * size_ + px) * 4];
  for (int c = 0; c < 3; ++c) d[c] = src[c] * a + d[c] * (1 - a);
  d[3] = a + d[3] * (1 - a);
}

void Canvas::Rect(double x0, double y0, double x1, double y1, uint32_t argb) {
  Fill(x0, y0, x1, y1, argb,
       [&](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; });
}

void Canvas::RoundRect(double x0, double y0, double x1, double y1, double r, uint32_t argb) {
  Fill(x0, y0, x1, y1, argb,
       [&](double x, double y) { return InRoundRect(x, y, x0, y0, x1, y1, r); });
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, uint32_t argb) {
  Fill(cx - rx, cy - ry, cx + rx, cy + ry, argb,
       [&](double x, double y) { return InEllipse(x, y, cx, cy, rx, ry); });
}

void Canvas::Line(Pt a, Pt b, double width, uint32_t argb) {
  const double h = width / 2;
  Fill(std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h,
       std::max(a.y, b.y) + h, argb, [&](double x, double y) { return InCapsule(x, y, a, b, h); });
}

void Canvas::Bar(Pt a, Pt b, double width, uint32_t argb) {
  const double h = width / 2;
  Fill(std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h,
       std::max(a.y, b.y) + h, argb, [&](double x, double y) { return InBar(x, y, a, b, h); });
}

void Canvas::Polygon(const std::vector<Pt>& pts, uint32_t argb) {
  if (pts.size() < 3) return;
  double x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
  for (const Pt& p : pts) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  Fill(x0, y0, x1, y1, argb, [&](double x, double y) { return InPolygon(x, y, pts); });
}

void Canvas::OutlinedRoundRect(double x0, double y0, double x1, double y1, double r, uint32_t fill,
                               uint32_t ink) {
  const double b = Border();
  RoundRect(x0, y0, x1, y1, r, ink);
  RoundRect(x0 + b, y0 + b, x1 - b, y1 - b, std::max(0.0, r - b), fill);
}

void Canvas::OutlinedCircle(double cx, double cy, double r, uint32_t fill, uint32_t ink) {
  Circle(cx, cy, r, ink);
  Circle(cx, cy, r - Border(), fill);
}

IconImage Canvas::Finish() const {
  IconImage img;
  img.size = size_;
  img.pixels.resize(static_cast<std::size_t>(size_) * size_);
  for (std::size_t i = 0; i < img.pixels.size(); ++i) {
    const double* p = &rgba_[i * 4];
    const auto a = static_cast<uint32_t>(std::lround(std::clamp(p[3], 0.0, 1.0) * 255));
    if (a == 0) continue;  // fully transparent pixels stay 0
    uint32_t argb = a << 24;
    for (int c = 0; c < 3; ++c) {
      const double straight = std::clamp(p[c] / p[3], 0.0, 1.0);
      argb |= static_cast<uint32_t>(std::lround(straight * 255)) << (16 - 8 * c);
    }
    img.pixels[i] = argb;
  }
  return img;
}

}  // namespace unw::art
