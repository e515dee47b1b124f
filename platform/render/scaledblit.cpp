#include "platform/render/scaledblit.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace plat {
namespace {

// Beyond this a float is not turned into an int: it would not fit.
constexpr float kMaxWhole = 1.0e8f;

bool ToInt(float v, int* out) {
  if (!(std::fabs(v) <= kMaxWhole)) return false;
  *out = static_cast<int>(v);  // towards zero, as SDL's casts
  return true;
}

// SDL_HasIntersectionF for a rectangle (x, y, w, h) and the surface.
bool MeetsSurface(float x, float y, float w, float h, int surfaceW, int surfaceH) {
  if (w <= 0.0f || h <= 0.0f) return false;
  const float x0 = std::max(x, 0.0f), x1 = std::min(x + w, static_cast<float>(surfaceW));
  const float y0 = std::max(y, 0.0f), y1 = std::min(y + h, static_cast<float>(surfaceH));
  return x1 > x0 && y1 > y0;
}

// One axis of a scaled blit clipped to [0, limit) (destination relative to the clip): the
// source is cut by the share of the destination cut off.
void ClipAxis(double scale, double limit, double* s0, double* s1, double* d0, double* d1) {
  if (*d0 < 0) {
    *s0 -= *d0 / scale;
    *d0 = 0;
  }
  if (*d1 > limit) {
    *s1 -= (*d1 - limit) / scale;
    *d1 = limit;
  }
}

}  // namespace

bool PlanScaledBlit(const hgeVertex v[4], int texW, int texH, const IRect& clip, int surfaceW,
                    int surfaceH, ScaledBlit* out) {
  const std::uint32_t colour = v[0].col;
  if (v[1].col != colour || v[2].col != colour || v[3].col != colour) return false;
  if (v[0].y != v[1].y || v[3].y != v[2].y || v[0].x != v[3].x || v[1].x != v[2].x) return false;
  if (v[0].tx != v[3].tx || v[1].tx != v[2].tx || v[0].ty != v[1].ty || v[3].ty != v[2].ty)
    return false;
  if (!(v[2].x > v[0].x) || !(v[2].y > v[0].y) || texW <= 0 || texH <= 0) return false;
  // SDL refuses texture coordinates outside 0..1 and draws nothing.
  for (int i = 0; i < 4; ++i)
    if (!(v[i].tx >= 0.0f && v[i].tx <= 1.0f && v[i].ty >= 0.0f && v[i].ty <= 1.0f)) return false;

  // The source rectangle from the corners' texture coordinates, in float then cut to int.
  const float fw = static_cast<float>(texW), fh = static_cast<float>(texH);
  int sx, sy, sw, sh;
  if (!ToInt(v[0].tx * fw, &sx) || !ToInt(v[0].ty * fh, &sy)) return false;
  if (!ToInt(v[2].tx * fw - static_cast<float>(sx), &sw) ||
      !ToInt(v[2].ty * fh - static_cast<float>(sy), &sh))
    return false;
  if (sw <= 0 || sh <= 0) return false;  // mirrored or empty
  const IRect src = IRect{sx, sy, sx + sw, sy + sh}.Intersect(IRect{0, 0, texW, texH});
  if (src.Empty()) return false;

  const float dxf = v[0].x, dyf = v[0].y, dwf = v[2].x - v[0].x, dhf = v[2].y - v[0].y;
  if (!MeetsSurface(dxf, dyf, dwf, dhf, surfaceW, surfaceH)) return false;
  int dx, dy, dw, dh;
  if (!ToInt(dxf, &dx) || !ToInt(dyf, &dy) || !ToInt(dwf, &dw) || !ToInt(dhf, &dh)) return false;
  const int srcW = src.x1 - src.x0, srcH = src.y1 - src.y0;
  if (dw <= 0 || dh <= 0 || (dw == srcW && dh == srcH)) return false;
  if (dx < 0 || dy < 0 || dx + dw > surfaceW || dy + dh > surfaceH) return false;
  if (srcW > 32767 || srcH > 32767 || dw > 65535 || dh > 65535) return false;

  // The destination clipped, the source cut by the same share, both rounded (in double).
  double sx0 = src.x0, sy0 = src.y0, sx1 = src.x1, sy1 = src.y1;
  double dx0 = dx - clip.x0, dy0 = dy - clip.y0;
  double dx1 = dx0 + dw, dy1 = dy0 + dh;
  ClipAxis(static_cast<double>(dw) / srcW, clip.x1 - clip.x0, &sx0, &sx1, &dx0, &dx1);
  ClipAxis(static_cast<double>(dh) / srcH, clip.y1 - clip.y0, &sy0, &sy1, &dy0, &dy1);
  const int fsx = static_cast<int>(std::round(sx0)), fsy = static_cast<int>(std::round(sy0));
  const IRect finalSrc =
      IRect{fsx, fsy, fsx + static_cast<int>(std::round(sx1 - sx0)),
            fsy + static_cast<int>(std::round(sy1 - sy0))}
          .Intersect(IRect{0, 0, texW, texH});
  const int fdx = static_cast<int>(std::round(dx0 + clip.x0));
  const int fdy = static_cast<int>(std::round(dy0 + clip.y0));
  const IRect finalDst = IRect{fdx, fdy, fdx + static_cast<int>(std::round(dx1 - dx0)),
                               fdy + static_cast<int>(std::round(dy1 - dy0))}
                             .Intersect(clip);
  if (finalSrc.Empty() || finalDst.Empty()) return false;
  out->src = finalSrc;
  out->dst = finalDst;
  return true;
}

void ScaleRow(const std::uint32_t* pixels, int pitch, const IRect& from, int w, int h, int dy,
              int c0, int c1, std::uint32_t* out) {
  const NearestStep down(from.y1 - from.y0, h), across(from.x1 - from.x0, w);
  const std::uint32_t* row =
      pixels + static_cast<std::size_t>(from.y0 + down.At(dy)) * pitch + from.x0;
  std::uint32_t pos = across.inc / 2 + static_cast<std::uint32_t>(c0) * across.inc;
  for (int c = c0; c < c1; ++c, pos += across.inc) *out++ = row[pos >> 16];
}

const ScaledCopies::Copy* ScaledCopies::Get(const std::uint32_t* pixels, int pitch,
                                            const IRect& from, int w, int h) {
  for (Copy& c : m_copies) {
    if (c.w == w && c.h == h && c.from == from) {
      c.lastUse = ++m_uses;
      return &c;
    }
  }
  if (!m_budget || w <= 0 || h <= 0) return nullptr;
  if (m_copies.size() >= kPerTexture) {
    const auto oldest = std::min_element(m_copies.begin(), m_copies.end(),
                                         [](const Copy& a, const Copy& b) { return a.lastUse < b.lastUse; });
    Drop(static_cast<std::size_t>(oldest - m_copies.begin()));
  }
  const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (count * sizeof(std::uint32_t) > m_budget->limit - std::min(m_budget->used, m_budget->limit))
    return nullptr;
  Copy c;
  try {
    c.pixels.resize(count);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  c.from = from;
  c.w = w;
  c.h = h;
  for (int y = 0; y < h; ++y)
    ScaleRow(pixels, pitch, from, w, h, y, 0, w, c.pixels.data() + static_cast<std::size_t>(y) * w);
  c.spans.Build(c.pixels.data(), w, h, w);
  c.lastUse = ++m_uses;
  m_budget->used += Bytes(c);
  ++m_budget->made;
  m_copies.push_back(std::move(c));
  return &m_copies.back();
}

void ScaledCopies::Drop(std::size_t i) {
  if (m_budget) m_budget->used -= std::min(m_budget->used, Bytes(m_copies[i]));
  m_copies.erase(m_copies.begin() + static_cast<std::ptrdiff_t>(i));
}

void ScaledCopies::Clear() {
  while (!m_copies.empty()) Drop(m_copies.size() - 1);
}

}  // namespace plat
