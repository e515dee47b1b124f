#pragma once
// What the headless device needs to redraw only what changed: each frame's draw calls are kept
// as commands, matched in order against the previous frame's, and the pixels any unmatched
// command can touch (in either frame) make the dirty region. A pixel outside it sees the same
// commands in the same order in both frames, so it keeps last frame's value.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/render/hge.h"

namespace plat {

// Pixel rectangle, end exclusive.
struct IRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  long long Area() const { return Empty() ? 0 : 1LL * (x1 - x0) * (y1 - y0); }
  bool Intersects(const IRect& o) const {
    return !Empty() && !o.Empty() && x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
  }
  bool Contains(const IRect& o) const {
    return o.Empty() || (x0 <= o.x0 && y0 <= o.y0 && o.x1 <= x1 && o.y1 <= y1);
  }
  bool operator==(const IRect& o) const {
    return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
  }
  bool operator!=(const IRect& o) const { return !(*this == o); }
  IRect Intersect(const IRect& o) const;
  IRect Union(const IRect& o) const;  // bounding box
};

// A region kept as disjoint rectangles, so that a pixel is redrawn at most once. Overlapping
// rectangles are merged into their bounding box; past kMaxRects everything becomes one box.
class RectSet {
 public:
  static constexpr std::size_t kMaxRects = 24;

  void Clear() { m_rects.clear(); }
  void Add(IRect r);
  bool Empty() const { return m_rects.empty(); }
  const std::vector<IRect>& Rects() const { return m_rects; }
  // r lies inside one of the rectangles.
  bool Covers(const IRect& r) const;
  bool Touches(const IRect& r) const;
  long long Area() const;

 private:
  std::vector<IRect> m_rects;
};

// One draw call of a frame. The key is what decides the pixels (with the texture's version, so
// new pixels in the same texture count as a change); the rest is derived when it is recorded.
struct DrawCommand {
  enum class Kind : std::uint8_t { kQuad, kLine, kFill };

  struct Key {
    Kind kind;
    std::uint8_t pad[3];
    int blend;
    HTEXTURE tex;
    std::uint64_t texVersion;
    hgeVertex v[4];  // quad corners; a line's ends in v[0], v[1]; a fill's x, y, w, h in v[0]
    IRect clip;
  };

  // Drawn by the device's own span blitter: (u0, t0) is the texel at screen (x0, y0). Scaled,
  // the texels [u0, u1) x [t0, t1) are stretched over the whole of [x0, x1) x [y0, y1).
  struct Placement {
    bool valid;
    int x0, y0, x1, y1, u0, t0;
    std::uint32_t colour;
    bool scaled;
    int u1, t1;
  };

  Key key;  // zero-filled before it is set, so that it can be compared byte for byte
  std::uint64_t hash = 0;
  IRect bounds;            // every pixel it may change, inside its clip
  bool clipSafe = false;   // drawn clipped to any rectangle, each pixel comes out the same
  bool opaque = false;     // writes every pixel of bounds with an opaque value
  Placement placement{};

  void Seal();  // computes the hash of the key
  bool SameAs(const DrawCommand& o) const;
};

// The commands of the last frame and of the one being recorded, each kept once: a call that
// repeats the last frame's command at the same place shares it by index instead of copying it,
// so a steady frame writes a few bytes per call and matching it reads little more.
class FrameCommands {
 public:
  // The recorded frame becomes the last one; what only the old last frame used is freed.
  void NextFrame();
  // Forgets both frames.
  void Clear();

  // What the end of a frame reads of every command, kept side by side in call order: the
  // passes over the whole frame then read a few kB in a row instead of a line of every command.
  struct Brief {
    IRect bounds;
    bool opaque;
    bool clipSafe;
  };

  std::size_t Size() const { return m_cur.size(); }
  std::size_t LastSize() const { return m_prev.size(); }
  const DrawCommand& operator[](std::size_t i) const { return m_pool[m_cur[i]]; }
  const Brief& BriefAt(std::size_t i) const { return m_curBrief[i]; }
  // The last frame's command at the place the next call takes, or nullptr.
  const DrawCommand* LastAtNext() const {
    return m_cur.size() < m_prev.size() ? &m_pool[m_prev[m_cur.size()]] : nullptr;
  }
  // The next call is LastAtNext() again.
  void Repeat();
  void Add(const DrawCommand& c);

  // Matches the two frames' commands in order (a common subsequence: equal commands in runs,
  // resynchronised after a change by looking a little ahead) and adds to dirty the bounds of
  // every command of either frame left unmatched.
  void AddChangedBounds(RectSet& dirty) const;

  // Commands held (both frames, shared ones once) and slots kept for reuse.
  std::size_t Held() const { return m_pool.size() - m_free.size(); }
  std::size_t Capacity() const { return m_pool.size(); }

 private:
  // Whether the last frame's call i and this frame's call j are the same command. The hashes
  // sit side by side in call order, so the search after a change reads no command at all
  // until two hashes agree.
  bool Same(std::size_t i, std::size_t j) const {
    if (m_prevHash[i] != m_curHash[j]) return false;
    const std::uint32_t a = m_prev[i], b = m_cur[j];
    return a == b || m_pool[a].SameAs(m_pool[b]);
  }
  std::uint32_t Take();
  // After a change at (i, j): the nearest pair (i + a, j + b) that matches again, fewest
  // skipped commands first; false when none lies within the look-ahead.
  bool NearestMatch(std::size_t i, std::size_t j, std::size_t* skipA, std::size_t* skipB) const;
  bool SearchEveryPair(std::size_t i, std::size_t j, std::size_t* skipA, std::size_t* skipB) const;

  std::vector<DrawCommand> m_pool;
  std::vector<std::uint64_t> m_inFrame;  // per slot: the recording that last used it
  std::vector<std::uint32_t> m_free;
  std::vector<std::uint32_t> m_cur, m_prev;  // slots in call order
  std::vector<std::uint64_t> m_curHash, m_prevHash;  // their commands' hashes, in call order
  std::vector<Brief> m_curBrief, m_prevBrief;         // and their briefs
  std::uint64_t m_frame = 1;

  // NearestMatch's table of the last frame's next hashes; a slot belongs to the current search
  // when it carries its stamp.
  static constexpr std::size_t kWindowSlots = 128;
  struct WindowSlot {
    std::uint64_t hash = 0;
    std::uint32_t stamp = 0;
    std::size_t offset = 0;
  };
  mutable std::array<WindowSlot, kWindowSlots> m_window{};
  mutable std::uint32_t m_windowStamp = 0;
};

}  // namespace plat
