#include "platform/render/dirtyregion.h"

#include <algorithm>
#include <cstring>

namespace plat {

IRect IRect::Intersect(const IRect& o) const {
  IRect r{std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
  return r.Empty() ? IRect{} : r;
}

IRect IRect::Union(const IRect& o) const {
  if (Empty()) return o;
  if (o.Empty()) return *this;
  return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
}

void RectSet::Add(IRect r) {
  if (r.Empty()) return;
  // Swallow every rectangle r overlaps; the grown r may overlap others, so start over.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < m_rects.size(); ++i) {
      if (!m_rects[i].Intersects(r)) continue;
      r = r.Union(m_rects[i]);
      m_rects[i] = m_rects.back();
      m_rects.pop_back();
      merged = true;
      break;
    }
  }
  m_rects.push_back(r);
  if (m_rects.size() > kMaxRects) {
    IRect all;
    for (const IRect& q : m_rects) all = all.Union(q);
    m_rects.clear();
    m_rects.push_back(all);
  }
}

bool RectSet::Covers(const IRect& r) const {
  return std::any_of(m_rects.begin(), m_rects.end(), [&r](const IRect& q) { return q.Contains(r); });
}

bool RectSet::Touches(const IRect& r) const {
  return std::any_of(m_rects.begin(), m_rects.end(),
                     [&r](const IRect& q) { return q.Intersects(r); });
}

long long RectSet::Area() const {
  long long a = 0;
  for (const IRect& r : m_rects) a += r.Area();
  return a;
}

void DrawCommand::Seal() {
  // Eight bytes at a time, multiplied and folded; the key is zero-filled first, so padding is
  // stable. Only a quick filter: equal hashes are still compared byte for byte.
  static_assert(sizeof(Key) % 8 == 0, "key in whole words");
  const auto* p = reinterpret_cast<const unsigned char*>(&key);
  std::uint64_t h = 0x9E3779B97F4A7C15ull;
  for (std::size_t i = 0; i < sizeof key; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  hash = h;
}

bool DrawCommand::SameAs(const DrawCommand& o) const {
  return hash == o.hash && std::memcmp(&key, &o.key, sizeof key) == 0;
}

namespace {

// How far ahead (commands of both frames together) a change is searched for its end.
constexpr std::size_t kLookAhead = 48;

}  // namespace

std::uint32_t FrameCommands::Take() {
  if (!m_free.empty()) {
    const std::uint32_t slot = m_free.back();
    m_free.pop_back();
    return slot;
  }
  m_pool.emplace_back();
  m_inFrame.push_back(0);
  return static_cast<std::uint32_t>(m_pool.size() - 1);
}

void FrameCommands::Add(const DrawCommand& c) {
  const std::uint32_t slot = Take();
  m_pool[slot] = c;
  m_inFrame[slot] = m_frame;
  m_cur.push_back(slot);
  m_curHash.push_back(c.hash);
  m_curBrief.push_back(Brief{c.bounds, c.opaque, c.clipSafe});
}

void FrameCommands::Repeat() {
  const std::size_t at = m_cur.size();
  const std::uint32_t slot = m_prev[at];
  m_inFrame[slot] = m_frame;
  m_cur.push_back(slot);
  m_curHash.push_back(m_prevHash[at]);
  m_curBrief.push_back(m_prevBrief[at]);
}

void FrameCommands::NextFrame() {
  for (const std::uint32_t slot : m_prev)
    if (m_inFrame[slot] != m_frame) m_free.push_back(slot);
  std::swap(m_prev, m_cur);
  std::swap(m_prevHash, m_curHash);
  std::swap(m_prevBrief, m_curBrief);
  m_cur.clear();
  m_curHash.clear();
  m_curBrief.clear();
  ++m_frame;
}

void FrameCommands::Clear() {
  m_pool.clear();
  m_inFrame.clear();
  m_free.clear();
  m_cur.clear();
  m_prev.clear();
  m_curHash.clear();
  m_prevHash.clear();
  m_curBrief.clear();
  m_prevBrief.clear();
}

bool FrameCommands::SearchEveryPair(std::size_t i, std::size_t j, std::size_t* skipA,
                                    std::size_t* skipB) const {
  const std::size_t n = m_prev.size(), m = m_cur.size();
  for (std::size_t d = 1; d <= kLookAhead; ++d) {
    for (std::size_t a = 0; a <= d; ++a) {
      const std::size_t b = d - a;
      if (i + a < n && j + b < m && Same(i + a, j + b)) {
        *skipA = a;
        *skipB = b;
        return true;
      }
    }
  }
  return false;
}

bool FrameCommands::NearestMatch(std::size_t i, std::size_t j, std::size_t* skipA,
                                 std::size_t* skipB) const {
  // The last frame's next hashes go into a small table (first offset of each hash), and each
  // of this frame's next hashes is looked up in it: a few dozen steps where trying every
  // pair took a thousand. The answer is SearchEveryPair's: the pair with the fewest skipped
  // commands, then the fewest of the last frame's.
  const std::size_t n = m_prev.size(), m = m_cur.size();
  if (++m_windowStamp == 0) {  // wrapped: old stamps could look current
    m_window.fill(WindowSlot{});
    m_windowStamp = 1;
  }
  // The slot holding h in this search, or the free one where it belongs (never full).
  const auto slotOf = [this](std::uint64_t h) -> WindowSlot& {
    constexpr std::size_t kMask = kWindowSlots - 1;
    std::size_t s = h & kMask;
    while (m_window[s].stamp == m_windowStamp && m_window[s].hash != h) s = (s + 1) & kMask;
    return m_window[s];
  };
  const std::size_t lastA = std::min(kLookAhead, n - 1 - i);
  for (std::size_t a = 0; a <= lastA; ++a) {
    WindowSlot& slot = slotOf(m_prevHash[i + a]);
    if (slot.stamp != m_windowStamp) slot = WindowSlot{m_prevHash[i + a], m_windowStamp, a};
  }
  std::size_t bestA = 0, bestB = 0, bestD = kLookAhead + 1;
  const std::size_t lastB = std::min(kLookAhead, m - 1 - j);
  for (std::size_t b = 0; b <= lastB && b <= bestD; ++b) {
    const WindowSlot& slot = slotOf(m_curHash[j + b]);
    if (slot.stamp != m_windowStamp) continue;
    const std::size_t a = slot.offset;
    const std::size_t d = a + b;
    if (d > kLookAhead || d > bestD || (d == bestD && a >= bestA)) continue;
    // Equal hashes of unequal commands (the pair at (i, j) is one: it did not match): a later
    // offset might still match, so ask every pair.
    if (d == 0 || !Same(i + a, j + b)) return SearchEveryPair(i, j, skipA, skipB);
    bestA = a;
    bestB = b;
    bestD = d;
  }
  if (bestD > kLookAhead) return false;
  *skipA = bestA;
  *skipB = bestB;
  return true;
}

void FrameCommands::AddChangedBounds(RectSet& dirty) const {
  const std::vector<std::uint32_t>& before = m_prev;
  const std::vector<std::uint32_t>& now = m_cur;
  const std::size_t n = before.size(), m = now.size();
  std::size_t i = 0, j = 0;
  while (i < n && j < m) {
    if (Same(i, j)) {
      ++i;
      ++j;
      continue;
    }
    std::size_t skipA = 1, skipB = 1;
    NearestMatch(i, j, &skipA, &skipB);
    for (std::size_t k = 0; k < skipA && i < n; ++k) dirty.Add(m_prevBrief[i++].bounds);
    for (std::size_t k = 0; k < skipB && j < m; ++k) dirty.Add(m_curBrief[j++].bounds);
  }
  for (; i < n; ++i) dirty.Add(m_prevBrief[i].bounds);
  for (; j < m; ++j) dirty.Add(m_curBrief[j].bounds);
}

}  // namespace plat
