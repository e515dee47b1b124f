#pragma once
// Signed distance shapes: negative inside, in pixels. Shapes carry their
// bounding box so that filling only visits the pixels they can touch.
#include <functional>
#include <vector>

struct Box {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  Box Grown(float d) const { return Box{x0 - d, y0 - d, x1 + d, y1 + d}; }
  float Width() const { return x1 - x0; }
  float Height() const { return y1 - y0; }
  float CenterX() const { return (x0 + x1) * 0.5f; }
  float CenterY() const { return (y0 + y1) * 0.5f; }
};

struct Point {
  float x = 0, y = 0;
};

struct Shape {
  std::function<float(float, float)> sdf;
  Box box;
  float Distance(float x, float y) const { return sdf(x, y); }
};

namespace shape {
Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape RoundRect(const Box& b, float radius);
// A segment with round caps of the given half thickness.
Shape Capsule(float ax, float ay, float bx, float by, float halfWidth);
Shape Polygon(std::vector<Point> pts);
// A circular arc from angle a0 to a1 (radians, y down), as a stroke.
Shape Arc(float cx, float cy, float r, float a0, float a1, float halfWidth);
// A smooth path through points drawn as a stroke (polyline of capsules).
Shape Polyline(const std::vector<Point>& pts, float halfWidth);

Shape Union(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
Shape Intersect(const Shape& a, const Shape& b);
// Grows (d > 0) or shrinks the shape.
Shape Offset(const Shape& s, float d);
// The outline of the shape, width pixels wide, centred on its edge.
Shape Ring(const Shape& s, float width);
Shape Translate(const Shape& s, float dx, float dy);
// Rotation by angle radians around (cx, cy).
Shape Rotate(const Shape& s, float angle, float cx, float cy);
}  // namespace shape
