// Two frames' draw commands kept once: shared repeats, freed slots, and what counts as changed.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "platform/render/dirtyregion.h"

namespace {

using plat::DrawCommand;
using plat::FrameCommands;
using plat::IRect;
using plat::RectSet;

// A fill at (x, y) of 10 x 10; the colour tells commands at one place apart.
DrawCommand Fill(int x, int y, std::uint32_t colour = 0xFF102030) {
  DrawCommand c;
  std::memset(static_cast<void*>(&c.key), 0, sizeof c.key);
  c.key.kind = DrawCommand::Kind::kFill;
  c.key.v[0].x = static_cast<float>(x);
  c.key.v[0].y = static_cast<float>(y);
  c.key.v[0].col = colour;
  c.bounds = IRect{x, y, x + 10, y + 10};
  c.Seal();
  return c;
}

// Records one frame: each entry repeats the last frame's command at its place when it equals
// it (as the device does), else adds it.
void Record(FrameCommands& list, const std::vector<DrawCommand>& frame) {
  for (const DrawCommand& c : frame) {
    const DrawCommand* last = list.LastAtNext();
    if (last && last->SameAs(c))
      list.Repeat();
    else
      list.Add(c);
  }
}

RectSet Changed(const FrameCommands& list) {
  RectSet dirty;
  list.AddChangedBounds(dirty);
  return dirty;
}

TEST(FrameCommands, RepeatedFramesShareTheirCommandsAndChangeNothing) {
  FrameCommands list;
  std::vector<DrawCommand> frame;
  for (int i = 0; i < 50; ++i) frame.push_back(Fill(i * 20, 0));
  Record(list, frame);
  EXPECT_EQ(list.Held(), 50u);
  list.NextFrame();
  for (int n = 0; n < 10; ++n) {
    Record(list, frame);
    EXPECT_TRUE(Changed(list).Empty());
    EXPECT_EQ(list.Held(), 50u);  // shared, not copied
    list.NextFrame();
  }
  EXPECT_EQ(list.Capacity(), 50u);
}

TEST(FrameCommands, MemoryStaysBoundedWhenEveryCommandIsNew) {
  FrameCommands list;
  for (int n = 0; n < 200; ++n) {
    std::vector<DrawCommand> frame;
    for (int i = 0; i < 40; ++i) frame.push_back(Fill(i, n % 7, 0xFF000000u + n));
    Record(list, frame);
    EXPECT_LE(list.Held(), 80u);
    list.NextFrame();
  }
  EXPECT_LE(list.Capacity(), 80u);  // slots of the frame before last are reused
}

TEST(FrameCommands, ReusedSlotsNeverOverwriteWhatTheLastFrameStillHolds) {
  FrameCommands list;
  const DrawCommand a = Fill(0, 0), b = Fill(100, 0), c = Fill(200, 0), d = Fill(300, 0);
  Record(list, {a, b});
  list.NextFrame();
  Record(list, {a, c, d});  // b only in the last frame: its slot is free after this one
  list.NextFrame();
  const DrawCommand e = Fill(400, 0), f = Fill(500, 0);
  // New commands first, so that they take the freed slot while the last frame is still read.
  list.Add(e);
  list.Add(f);
  ASSERT_EQ(list.Size(), 2u);
  EXPECT_TRUE(list[0].SameAs(e));
  EXPECT_TRUE(list[1].SameAs(f));
  RectSet dirty = Changed(list);  // a, c, d gone; e, f new: all five places
  long long expected = 5 * 100;
  EXPECT_EQ(dirty.Area(), expected);
  for (const IRect& r : {a.bounds, c.bounds, d.bounds, e.bounds, f.bounds})
    EXPECT_TRUE(dirty.Covers(r)) << r.x0;
  EXPECT_FALSE(dirty.Touches(b.bounds));  // two frames ago: not this change
}

TEST(FrameCommands, ChangesAreFoundWhereverTheyFallInTheList) {
  std::vector<DrawCommand> base;
  for (int i = 0; i < 30; ++i) base.push_back(Fill(i * 20, 40));
  const DrawCommand extra = Fill(0, 300);

  struct Case {
    const char* what;
    std::vector<DrawCommand> next;
    std::vector<IRect> changed;
  };
  std::vector<Case> cases;
  {
    auto next = base;
    next.insert(next.begin() + 10, extra);  // later calls move one place down
    cases.push_back({"inserted", next, {extra.bounds}});
  }
  {
    auto next = base;
    next.erase(next.begin() + 5);
    cases.push_back({"removed", next, {base[5].bounds}});
  }
  {
    auto next = base;
    next[29] = Fill(29 * 20, 40, 0xFFFFFFFF);  // same place, other colour
    cases.push_back({"recoloured last", next, {base[29].bounds}});
  }
  {
    auto next = base;
    next.resize(10);  // the notices gone
    std::vector<IRect> gone;
    for (std::size_t i = 10; i < base.size(); ++i) gone.push_back(base[i].bounds);
    cases.push_back({"cut short", next, gone});
  }
  for (const Case& c : cases) {
    FrameCommands list;
    Record(list, base);
    list.NextFrame();
    Record(list, c.next);
    const RectSet dirty = Changed(list);
    long long area = 0;
    for (const IRect& r : c.changed) {
      EXPECT_TRUE(dirty.Covers(r)) << c.what << " at " << r.x0;
      area += r.Area();
    }
    EXPECT_EQ(dirty.Area(), area) << c.what;  // nothing else
  }
}

std::vector<std::array<int, 4>> Boxes(const RectSet& set) {
  std::vector<std::array<int, 4>> boxes;
  for (const IRect& r : set.Rects()) boxes.push_back({r.x0, r.y0, r.x1, r.y1});
  return boxes;
}

// The matching as first written: after a change, every pair within the look-ahead is tried in
// order of skipped commands, comparing whole commands.
RectSet ChangedByEveryPair(const std::vector<DrawCommand>& before,
                           const std::vector<DrawCommand>& now) {
  constexpr std::size_t kLookAhead = 48;
  RectSet dirty;
  const auto same = [&](std::size_t i, std::size_t j) { return before[i].SameAs(now[j]); };
  const std::size_t n = before.size(), m = now.size();
  std::size_t i = 0, j = 0;
  while (i < n && j < m) {
    if (same(i, j)) {
      ++i;
      ++j;
      continue;
    }
    std::size_t skipA = 1, skipB = 1;
    bool found = false;
    for (std::size_t d = 1; d <= kLookAhead && !found; ++d)
      for (std::size_t a = 0; a <= d && !found; ++a)
        if (i + a < n && j + d - a < m && same(i + a, j + d - a)) {
          skipA = a;
          skipB = d - a;
          found = true;
        }
    for (std::size_t k = 0; k < skipA && i < n; ++k) dirty.Add(before[i++].bounds);
    for (std::size_t k = 0; k < skipB && j < m; ++k) dirty.Add(now[j++].bounds);
  }
  for (; i < n; ++i) dirty.Add(before[i].bounds);
  for (; j < m; ++j) dirty.Add(now[j].bounds);
  return dirty;
}

// Random frames and random edits of them (moved stretches, insertions, removals, repeated
// commands, and unequal commands given equal hashes): the changes found are exactly those of
// the matching as first written, rectangle for rectangle.
TEST(FrameCommands, FindsTheSameChangesAsTryingEveryPair) {
  std::mt19937 rng(17);
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 400; ++round) {
    // Few distinct commands, so equal ones recur within the look-ahead.
    const auto command = [&] {
      DrawCommand c = Fill(pick(12) * 20, pick(3) * 20);
      if (pick(8) == 0) c.hash = 42;  // a hash shared by unequal commands
      return c;
    };
    std::vector<DrawCommand> before(static_cast<std::size_t>(pick(150)));
    for (DrawCommand& c : before) c = command();
    std::vector<DrawCommand> now = before;
    for (int edits = pick(6); edits > 0; --edits) {
      const std::size_t at =
          now.empty() ? 0 : static_cast<std::size_t>(pick(static_cast<int>(now.size())));
      const std::size_t length = static_cast<std::size_t>(1 + pick(60));
      switch (pick(3)) {
        case 0:  // a stretch replaced by as many new commands (a moved text)
          for (std::size_t k = at; k < std::min(now.size(), at + length); ++k) now[k] = command();
          break;
        case 1:
          for (std::size_t k = 0; k < length % 5 + 1; ++k)
            now.insert(now.begin() + static_cast<long>(at), command());
          break;
        default:
          now.erase(now.begin() + static_cast<long>(at),
                    now.begin() + static_cast<long>(std::min(now.size(), at + length % 7)));
      }
    }
    FrameCommands list;
    Record(list, before);
    list.NextFrame();
    Record(list, now);
    ASSERT_EQ(Boxes(Changed(list)), Boxes(ChangedByEveryPair(before, now))) << "round " << round;
  }
}

TEST(FrameCommands, AnEqualCommandAddedAnewStillMatches) {
  // A call that moved to another place in the list is not repeated by index, but it is the
  // same command: only the one moved out of the way counts.
  FrameCommands list;
  const DrawCommand a = Fill(0, 0), b = Fill(50, 0);
  Record(list, {a, b});
  list.NextFrame();
  list.Add(b);  // not shared: a was at this place
  EXPECT_EQ(list.Held(), 3u);
  const RectSet dirty = Changed(list);
  EXPECT_TRUE(dirty.Covers(a.bounds));
  EXPECT_FALSE(dirty.Touches(b.bounds));
}

}  // namespace
