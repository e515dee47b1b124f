#pragma once
// Textured rectangles drawn at another size, the way SDL's software renderer draws them: the
// quad becomes a source rectangle and a destination rectangle of whole pixels, the destination
// is clipped with the source cut to match, and each destination pixel takes one source pixel,
// stepped in 16.16 fixed point from half a step in. SDL then blends that pixel like any other,
// so scaling first and blending the scaled pixels later gives SDL's pixels to the bit. The
// device keeps the scaled pixels of a texture (ScaledCopies) and draws them like an unscaled
// picture: a redraw does not scale again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/render/dirtyregion.h"
#include "platform/render/hge.h"
#include "platform/render/pixelspans.h"

namespace plat {

struct ScaledBlit {
  IRect src;  // texels, end exclusive
  IRect dst;  // surface pixels inside the clip, end exclusive
};

// What SDL draws for an axis-aligned quad of one colour whose corners go clockwise from the top
// left. False where SDL takes another path, which is left to SDL: not such a rectangle,
// mirrored, the same size (an unscaled blit), reaching past the surface (SDL scales through a
// surface of its own there), or nothing drawn at all.
bool PlanScaledBlit(const hgeVertex v[4], int texW, int texH, const IRect& clip, int surfaceW,
                    int surfaceH, ScaledBlit* out);

// SDL's nearest stepping over one axis: n destination pixels over a source span of length len.
struct NearestStep {
  NearestStep(int len, int n) : inc((static_cast<std::uint32_t>(len) << 16) / static_cast<std::uint32_t>(n)) {}
  // The source offset of destination pixel i.
  int At(int i) const { return static_cast<int>((inc / 2 + static_cast<std::uint32_t>(i) * inc) >> 16); }
  std::uint32_t inc;
};

// Destination columns [c0, c1) of row dy of from scaled to w x h, into out[0 .. c1 - c0).
void ScaleRow(const std::uint32_t* pixels, int pitch, const IRect& from, int w, int h, int dy,
              int c0, int c1, std::uint32_t* out);

// Bytes of scaled copies a device may keep, shared by its textures.
struct ScaledBudget {
  std::size_t used = 0;
  std::size_t limit = 16u << 20;
  std::uint64_t made = 0;  // copies made so far
};

// The scaled copies of one texture, a few sizes at most (the least recently used one goes).
class ScaledCopies {
 public:
  static constexpr std::size_t kPerTexture = 4;

  struct Copy {
    IRect from;
    int w = 0, h = 0;
    std::vector<std::uint32_t> pixels;  // w per row
    PixelSpans spans;
    std::uint64_t lastUse = 0;
  };

  ScaledCopies() = default;
  ScaledCopies(const ScaledCopies&) = delete;
  ScaledCopies& operator=(const ScaledCopies&) = delete;
  ~ScaledCopies() { Clear(); }

  void SetBudget(ScaledBudget* budget) { m_budget = budget; }
  // The copy of from (in pixels, pitch per row) scaled to w x h, made when missing; nullptr
  // when the budget has no room for it.
  const Copy* Get(const std::uint32_t* pixels, int pitch, const IRect& from, int w, int h);
  // Drops every copy (the texture's pixels changed or it goes).
  void Clear();
  std::size_t Count() const { return m_copies.size(); }

 private:
  static std::size_t Bytes(const Copy& c) { return c.pixels.size() * sizeof(std::uint32_t); }
  void Drop(std::size_t i);

  ScaledBudget* m_budget = nullptr;
  std::vector<Copy> m_copies;
  std::uint64_t m_uses = 0;
};

}  // namespace plat
