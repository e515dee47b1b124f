#include "platform/render/windowpush.h"

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

long long FloorDiv(long long a, long long b) {
  const long long q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// a + (b - a) * f / 256 for each byte lane at once: red and blue in one product, alpha and
// green in the other. f == 0 gives a exactly.
inline std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
  const std::uint32_t g = 256 - f;
  const std::uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
  const std::uint32_t ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f) & 0xFF00FF00u;
  return rb | ag;
}

}  // namespace

void ScaleMap::BuildAxis(int game, int box, std::vector<Tap>& taps) {
  taps.resize(static_cast<std::size_t>(std::max(box, 0)));
  for (int j = 0; j < box; ++j) {
    // The box pixel's centre in game pixels, less half a pixel, in 1/256: centres map to centres.
    const long long s = FloorDiv((2LL * j + 1) * game * 256 - 256LL * box, 2LL * box);
    Tap t{static_cast<int>(s >> 8), 0, static_cast<std::uint32_t>(s & 255)};
    if (s < 0) t = {0, 0, 0};
    if (t.i0 >= game - 1) t = {game - 1, 0, 0};
    t.i1 = t.f ? t.i0 + 1 : t.i0;
    taps[j] = t;
  }
}

void ScaleMap::Build(int gameW, int gameH, int boxW, int boxH) {
  m_gameW = gameW;
  m_gameH = gameH;
  if (gameW <= 0 || gameH <= 0 || boxW <= 0 || boxH <= 0) {
    m_x.clear();
    m_y.clear();
    return;
  }
  BuildAxis(gameW, boxW, m_x);
  BuildAxis(gameH, boxH, m_y);
}

void ScaleMap::CoverAxis(const std::vector<Tap>& taps, int g0, int g1, int* a, int* b) {
  // Both taps grow with the box pixel, so the pixels reaching [g0, g1) are one run.
  auto first = std::partition_point(taps.begin(), taps.end(), [g0](const Tap& t) { return t.i1 < g0; });
  auto end = std::partition_point(first, taps.end(), [g1](const Tap& t) { return t.i0 < g1; });
  *a = static_cast<int>(first - taps.begin());
  *b = static_cast<int>(end - taps.begin());
}

IRect ScaleMap::Cover(const IRect& r) const {
  const IRect g = r.Intersect(IRect{0, 0, m_gameW, m_gameH});
  if (g.Empty() || m_x.empty() || m_y.empty()) return {};
  IRect out;
  CoverAxis(m_x, g.x0, g.x1, &out.x0, &out.x1);
  CoverAxis(m_y, g.y0, g.y1, &out.y0, &out.y1);
  return out.Empty() ? IRect{} : out;
}

void ScaleMap::Scale(const std::uint32_t* src, std::size_t srcPitch, std::uint32_t* dst,
                     std::size_t dstPitch, const IRect& r) const {
  const IRect c = r.Intersect(IRect{0, 0, BoxWidth(), BoxHeight()});
  if (c.Empty()) return;
  if (Identity()) {
    for (int y = c.y0; y < c.y1; ++y)
      std::memcpy(dst + y * dstPitch + c.x0, src + y * srcPitch + c.x0,
                  sizeof(std::uint32_t) * static_cast<std::size_t>(c.x1 - c.x0));
    return;
  }
  // Each game row needed is scaled across once and kept while the rows below still blend it;
  // then every box row is one blend of two such rows (or a copy of one).
  const std::size_t w = static_cast<std::size_t>(c.x1 - c.x0);
  for (auto& row : m_rows) row.resize(w);
  int held[2] = {-1, -1};
  auto across = [&](int sy, int keep) -> const std::uint32_t* {
    for (int k = 0; k < 2; ++k)
      if (held[k] == sy) return m_rows[k].data();
    const int k = held[0] == keep ? 1 : 0;
    const std::uint32_t* in = src + sy * srcPitch;
    std::uint32_t* row = m_rows[k].data();
    for (int x = c.x0; x < c.x1; ++x) {
      const Tap& tx = m_x[x];
      row[x - c.x0] = Lerp(in[tx.i0], in[tx.i1], tx.f);
    }
    held[k] = sy;
    return row;
  };
  for (int y = c.y0; y < c.y1; ++y) {
    const Tap& ty = m_y[y];
    std::uint32_t* out = dst + y * dstPitch + c.x0;
    const std::uint32_t* top = across(ty.i0, ty.i1);
    if (ty.f == 0) {
      std::memcpy(out, top, w * sizeof(std::uint32_t));
      continue;
    }
    const std::uint32_t* bottom = across(ty.i1, ty.i0);
    for (std::size_t x = 0; x < w; ++x) out[x] = Lerp(top[x], bottom[x], ty.f);
  }
}

bool PushPlanner::Plan(int gameW, int gameH, int windowW, int windowH,
                       const std::vector<IRect>& changed) {
  m_rects.clear();
  m_full = false;
  if (windowW != m_windowW || windowH != m_windowH) {
    m_windowW = windowW;
    m_windowH = windowH;
    m_invalid = true;
  }
  m_box = Letterbox::Fit(gameW, gameH, windowW, windowH);
  if (m_box.Empty()) {
    m_invalid = true;  // whatever shows later starts from a whole picture
    return false;
  }
  if (!m_map.Matches(gameW, gameH, m_box.w, m_box.h)) m_map.Build(gameW, gameH, m_box.w, m_box.h);
  if (m_invalid) {
    m_invalid = false;
    m_full = true;
    m_rects.push_back(IRect{0, 0, windowW, windowH});
    return true;
  }
  for (const IRect& r : changed) {
    IRect w = m_map.Cover(r);
    if (w.Empty()) continue;
    m_rects.push_back(IRect{w.x0 + m_box.x, w.y0 + m_box.y, w.x1 + m_box.x, w.y1 + m_box.y});
  }
  return !m_rects.empty();
}

void FillBars(std::uint32_t* dst, std::size_t dstPitch, int windowW, int windowH,
              const Letterbox& box) {
  constexpr std::uint32_t kBar = 0xFF000000u;
  const int bx0 = std::clamp(box.x, 0, windowW), bx1 = std::clamp(box.x + box.w, bx0, windowW);
  const int by0 = std::clamp(box.y, 0, windowH), by1 = std::clamp(box.y + box.h, by0, windowH);
  for (int y = 0; y < windowH; ++y) {
    std::uint32_t* row = dst + y * dstPitch;
    if (y < by0 || y >= by1 || bx1 <= bx0) {
      std::fill(row, row + windowW, kBar);
      continue;
    }
    std::fill(row, row + bx0, kBar);
    std::fill(row + bx1, row + windowW, kBar);
  }
}

}  // namespace plat
