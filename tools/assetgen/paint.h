#pragma once
// Paints give the colour of a pixel of a shape; d is the signed distance of
// the pixel to the shape's edge (negative inside), for edge-aware shading.
#include <functional>
#include <utility>
#include <vector>

#include "tools/assetgen/color.h"

using Paint = std::function<Rgba(float x, float y, float d)>;
using Stops = std::vector<std::pair<float, Rgba>>;

namespace paint {
Paint Solid(const Rgba& c);
// Colour along the line from (x0, y0) to (x1, y1); stops are at 0..1.
Paint Linear(float x0, float y0, float x1, float y1, Stops stops);
Paint Vertical(float y0, float y1, const Rgba& top, const Rgba& bottom);
Paint Radial(float cx, float cy, float r, Stops stops);
// A brighter rim of the given width just inside the edge.
Paint Rim(Paint base, const Rgba& rim, float width);
Rgba Sample(const Stops& stops, float t);
}  // namespace paint
