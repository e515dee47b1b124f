#pragma once
// An axis-aligned quad covering a whole texture, as the render tests draw it.
#include <cstdint>

#include "platform/render/hge.h"

inline hgeQuad RectQuad(float x, float y, float w, float h, std::uint32_t col, HTEXTURE tex = 0) {
  hgeQuad q{};
  q.tex = tex;
  q.blend = BLEND_DEFAULT;
  const float xs[4] = {x, x + w, x + w, x};
  const float ys[4] = {y, y, y + h, y + h};
  const float us[4] = {0, 1, 1, 0};
  const float vs[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, col, us[i], vs[i]};
  return q;
}
