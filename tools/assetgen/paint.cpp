#include "tools/assetgen/paint.h"

#include <cmath>

namespace paint {
Rgba Sample(const Stops& stops, float t) {
  if (stops.empty()) return Rgba{};
  if (t <= stops.front().first) return stops.front().second;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].first) {
      const float span = stops[i].first - stops[i - 1].first;
      const float k = span > 0 ? (t - stops[i - 1].first) / span : 1.0f;
      return Mix(stops[i - 1].second, stops[i].second, k);
    }
  }
  return stops.back().second;
}

Paint Solid(const Rgba& c) {
  return [c](float, float, float) { return c; };
}

Paint Linear(float x0, float y0, float x1, float y1, Stops stops) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float len2 = dx * dx + dy * dy;
  return [=, stops = std::move(stops)](float x, float y, float) {
    const float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0f;
    return Sample(stops, t);
  };
}

Paint Vertical(float y0, float y1, const Rgba& top, const Rgba& bottom) {
  return Linear(0, y0, 0, y1, Stops{{0.0f, top}, {1.0f, bottom}});
}

Paint Radial(float cx, float cy, float r, Stops stops) {
  return [=, stops = std::move(stops)](float x, float y, float) {
    return Sample(stops, std::hypot(x - cx, y - cy) / r);
  };
}

Paint Rim(Paint base, const Rgba& rim, float width) {
  return [base = std::move(base), rim, width](float x, float y, float d) {
    const Rgba c = base(x, y, d);
    const float t = 1.0f - Clamp01(-d / width);
    return Mix(c, WithAlpha(rim, c.a), t * rim.a);
  };
}
}  // namespace paint
