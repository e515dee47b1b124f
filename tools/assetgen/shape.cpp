#include "tools/assetgen/shape.h"

#include <algorithm>
#include <cmath>

namespace shape {
namespace {
constexpr float kPi = 3.14159265358979f;

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float vx = bx - ax, vy = by - ay;
  const float wx = px - ax, wy = py - ay;
  const float len2 = vx * vx + vy * vy;
  const float t = len2 > 0 ? std::clamp((wx * vx + wy * vy) / len2, 0.0f, 1.0f) : 0.0f;
  const float dx = wx - vx * t, dy = wy - vy * t;
  return std::sqrt(dx * dx + dy * dy);
}

Box Bounds(const std::vector<Point>& pts) {
  Box b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const Point& p : pts) {
    b.x0 = std::min(b.x0, p.x);
    b.y0 = std::min(b.y0, p.y);
    b.x1 = std::max(b.x1, p.x);
    b.y1 = std::max(b.y1, p.y);
  }
  return b;
}
}  // namespace

Shape Circle(float cx, float cy, float r) {
  return Shape{[=](float x, float y) { return std::hypot(x - cx, y - cy) - r; }, Box{cx - r, cy - r, cx + r, cy + r}};
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
  // Distance estimate by the gradient of the implicit function: exact enough
  // for anti-aliasing the edge.
  return Shape{[=](float x, float y) {
                 const float nx = (x - cx) / rx, ny = (y - cy) / ry;
                 const float k = std::sqrt(nx * nx + ny * ny);
                 if (k < 1e-6f) return -std::min(rx, ry);
                 const float gx = nx / rx, gy = ny / ry;
                 const float g = std::sqrt(gx * gx + gy * gy);
                 return (k - 1.0f) * k / g;
               },
               Box{cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape RoundRect(const Box& b, float radius) {
  const float cx = b.CenterX(), cy = b.CenterY();
  const float hx = b.Width() * 0.5f, hy = b.Height() * 0.5f;
  const float r = std::min({radius, hx, hy});
  return Shape{[=](float x, float y) {
                 const float qx = std::fabs(x - cx) - hx + r;
                 const float qy = std::fabs(y - cy) - hy + r;
                 const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
                 return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
               },
               b};
}

Shape Capsule(float ax, float ay, float bx, float by, float halfWidth) {
  return Shape{[=](float x, float y) { return SegmentDistance(x, y, ax, ay, bx, by) - halfWidth; },
               Box{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)}.Grown(halfWidth)};
}

Shape Polygon(std::vector<Point> pts) {
  const Box box = Bounds(pts);
  return Shape{[pts = std::move(pts)](float x, float y) {
                 float d = 1e30f;
                 bool inside = false;
                 const size_t n = pts.size();
                 for (size_t i = 0, j = n - 1; i < n; j = i++) {
                   const Point& a = pts[i];
                   const Point& b = pts[j];
                   d = std::min(d, SegmentDistance(x, y, a.x, a.y, b.x, b.y));
                   if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
                 }
                 return inside ? -d : d;
               },
               box};
}

Shape Arc(float cx, float cy, float r, float a0, float a1, float halfWidth) {
  const float ax = cx + r * std::cos(a0), ay = cy + r * std::sin(a0);
  const float bx = cx + r * std::cos(a1), by = cy + r * std::sin(a1);
  return Shape{[=](float x, float y) {
                 float a = std::atan2(y - cy, x - cx);
                 while (a < a0) a += 2 * kPi;
                 while (a > a0 + 2 * kPi) a -= 2 * kPi;
                 if (a <= a1) return std::fabs(std::hypot(x - cx, y - cy) - r) - halfWidth;
                 return std::min(std::hypot(x - ax, y - ay), std::hypot(x - bx, y - by)) - halfWidth;
               },
               Box{cx - r, cy - r, cx + r, cy + r}.Grown(halfWidth)};
}

Shape Polyline(const std::vector<Point>& pts, float halfWidth) {
  return Shape{[pts, halfWidth](float x, float y) {
                 float d = 1e30f;
                 for (size_t i = 1; i < pts.size(); ++i)
                   d = std::min(d, SegmentDistance(x, y, pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y));
                 return d - halfWidth;
               },
               Bounds(pts).Grown(halfWidth)};
}

Shape Union(const Shape& a, const Shape& b) {
  return Shape{[a, b](float x, float y) { return std::min(a.sdf(x, y), b.sdf(x, y)); },
               Box{std::min(a.box.x0, b.box.x0), std::min(a.box.y0, b.box.y0), std::max(a.box.x1, b.box.x1),
                   std::max(a.box.y1, b.box.y1)}};
}

Shape Subtract(const Shape& a, const Shape& b) {
  return Shape{[a, b](float x, float y) { return std::max(a.sdf(x, y), -b.sdf(x, y)); }, a.box};
}

Shape Intersect(const Shape& a, const Shape& b) {
  return Shape{[a, b](float x, float y) { return std::max(a.sdf(x, y), b.sdf(x, y)); },
               Box{std::max(a.box.x0, b.box.x0), std::max(a.box.y0, b.box.y0), std::min(a.box.x1, b.box.x1),
                   std::min(a.box.y1, b.box.y1)}};
}

Shape Offset(const Shape& s, float d) {
  return Shape{[s, d](float x, float y) { return s.sdf(x, y) - d; }, s.box.Grown(std::max(d, 0.0f))};
}

Shape Ring(const Shape& s, float width) {
  const float h = width * 0.5f;
  return Shape{[s, h](float x, float y) { return std::fabs(s.sdf(x, y)) - h; }, s.box.Grown(h)};
}

Shape Translate(const Shape& s, float dx, float dy) {
  return Shape{[s, dx, dy](float x, float y) { return s.sdf(x - dx, y - dy); },
               Box{s.box.x0 + dx, s.box.y0 + dy, s.box.x1 + dx, s.box.y1 + dy}};
}

Shape Rotate(const Shape& s, float angle, float cx, float cy) {
  const float c = std::cos(angle), sn = std::sin(angle);
  // Bounding box of the rotated corners.
  std::vector<Point> corners = {{s.box.x0, s.box.y0}, {s.box.x1, s.box.y0}, {s.box.x1, s.box.y1}, {s.box.x0, s.box.y1}};
  for (Point& p : corners) {
    const float dx = p.x - cx, dy = p.y - cy;
    p = Point{cx + dx * c - dy * sn, cy + dx * sn + dy * c};
  }
  return Shape{[s, c, sn, cx, cy](float x, float y) {
                 const float dx = x - cx, dy = y - cy;
                 return s.sdf(cx + dx * c + dy * sn, cy - dx * sn + dy * c);
               },
               Bounds(corners)};
}
}  // namespace shape
