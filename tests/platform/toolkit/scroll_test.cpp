#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgescrollarea.h"
#include "platform/toolkit/orvhgetextbox.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

const gcn::Color kBlack(0, 0, 0, 255), kBlue(0, 0, 255, 255);

class TextBoxTest : public tktest::GuiTest {
 protected:
  TextBoxTest() { m_box.setFont(&m_font); }
  void AddLines(int from, int to) {
    for (int i = from; i <= to; ++i) m_box.addStr(u"L" + Digits(i), kBlack, 0, kBlue);
  }
  static std::u16string Digits(int n) {
    std::u16string s;
    for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
    return s;
  }
  // The lines drawn and not clipped in the last frame, by their text.
  std::vector<std::string> VisibleLines() {
    std::vector<plat::DrawRecord> log;
    {
      plat::ScopedDrawLog rec(&log);
      Frame();
    }
    std::vector<std::string> seen;
    for (const auto& r : log)
      if (r.kind == plat::DrawRecord::Text && !r.clipped) seen.push_back(r.what);
    return seen;
  }

  // What a box draws in a frame, row by row: the text and its place.
  std::vector<std::pair<std::string, int>> DrawnRows(OrvHgeTextBox& box) {
    m_top.add(&box, 0, 0);
    std::vector<plat::DrawRecord> log;
    {
      plat::ScopedDrawLog rec(&log);
      Frame();
    }
    m_top.remove(&box);
    std::vector<std::pair<std::string, int>> rows;
    for (const auto& r : log)
      if (r.kind == plat::DrawRecord::Text) rows.emplace_back(r.what, r.y);
    return rows;
  }

  tktest::ScopedRasterizer m_fake{tktest::MakeFakeRasterizer};
  OrvHgeFont m_font{"x", 10, 0, 0, 0};
  OrvHgeTextBox m_box;
};

TEST_F(TextBoxTest, HeightFollowsTheLinesAndEmptyTextClears) {
  const int lh = m_box.GetLineHeight();
  EXPECT_EQ(lh, 10 + OrvHgeTextBox::kLineGap);
  AddLines(1, 3);
  EXPECT_EQ(m_box.getHeight(), 3 * lh);
  m_box.addStr(u"a\nb", kBlack, 0, kBlue);  // a line break starts another line
  EXPECT_EQ(m_box.LineCount(), 5u);
  m_box.addStr(u" ", kBlack, 0, kBlue);      // a lone space is a line too
  EXPECT_EQ(m_box.getHeight(), 6 * lh);
  m_box.setText(u"");
  EXPECT_EQ(m_box.LineCount(), 0u);
  EXPECT_EQ(m_box.getHeight(), 0);
}

TEST_F(TextBoxTest, LongLinesWrapAtTheBoxWidth) {
  m_box.setWidth(50);  // five CJK glyphs of 10 px
  m_box.addStr(u"一二三四五六七八九十十一", kBlack, 0, kBlue);
  EXPECT_EQ(m_box.RowCount(), 3u);
  EXPECT_EQ(m_box.getHeight(), 3 * m_box.GetLineHeight());
  m_box.setWidth(200);
  EXPECT_EQ(m_box.RowCount(), 1u);
}

TEST_F(TextBoxTest, DroppingTheOldestLinesLeavesWhatAFreshBoxShows) {
  // Wrapped lines, a line holding a break (two lines) and a separator, in a narrow box.
  const std::u16string texts[] = {u"一二三四五六七", u"a\nb", u" ", u"L1", u"八九十一二三四五六七八"};
  m_box.setWidth(50);
  for (const auto& t : texts) m_box.addStr(t, kBlack, 0, kBlue);
  m_box.RemoveFirstLines(2);  // the wrapped line and "a"
  m_box.addStr(u"L2", kBlue, OrvHgeTextBox::kLink, kBlue);
  m_box.RemoveFirstLines(1);  // "b"
  m_box.addStr(u"一二三四五六", kBlack, 0, kBlue);

  OrvHgeTextBox fresh;
  fresh.setFont(&m_font);
  fresh.setWidth(50);
  fresh.addStr(u" ", kBlack, 0, kBlue);
  fresh.addStr(u"L1", kBlack, 0, kBlue);
  fresh.addStr(texts[4], kBlack, 0, kBlue);
  fresh.addStr(u"L2", kBlue, OrvHgeTextBox::kLink, kBlue);
  fresh.addStr(u"一二三四五六", kBlack, 0, kBlue);

  ASSERT_EQ(m_box.LineCount(), fresh.LineCount());
  for (std::size_t i = 0; i < fresh.LineCount(); ++i) EXPECT_EQ(m_box.LineText(i), fresh.LineText(i)) << i;
  EXPECT_EQ(m_box.RowCount(), fresh.RowCount());
  EXPECT_EQ(m_box.getHeight(), fresh.getHeight());
  const auto drawn = DrawnRows(m_box);
  EXPECT_EQ(drawn, DrawnRows(fresh));
  EXPECT_EQ(drawn.size(), 8u);  // " ", L1, three rows of the long line, L2, two rows

  // Dropping more than there is empties the box; a width change after a drop re-wraps.
  m_box.RemoveFirstLines(99);
  EXPECT_EQ(m_box.LineCount(), 0u);
  EXPECT_EQ(m_box.getHeight(), 0);
  for (const auto& t : texts) m_box.addStr(t, kBlack, 0, kBlue);
  m_box.setWidth(200);
  m_box.RemoveFirstLines(1);
  EXPECT_EQ(m_box.LineText(0), u"a");
  EXPECT_EQ(m_box.RowCount(), 5u);
}

class ScrollTest : public TextBoxTest {
 protected:
  ScrollTest() {
    m_area.setSize(100, 5 * m_box.GetLineHeight());  // five lines in sight
    m_area.m_nScrollWidth = 6;
    m_area.SetPressMoveLen(m_box.GetLineHeight());
    m_top.add(&m_area, 10, 10);
  }
  OrvHgeScrollArea m_area{&m_box};
};

TEST_F(ScrollTest, TheNewestLineStaysInSightAsLinesArrive) {
  AddLines(1, 3);
  EXPECT_EQ(VisibleLines(), std::vector<std::string>({"L1", "L2", "L3"}));
  AddLines(4, 12);
  EXPECT_EQ(VisibleLines(), std::vector<std::string>({"L8", "L9", "L10", "L11", "L12"}));
  EXPECT_EQ(m_box.getWidth(), 100 - 6);  // beside the bar
}

TEST_F(ScrollTest, ASteadyListIsNotWrappedAgainEachFrameAndStillShowsWhatAFreshOneDoes) {
  // Lines long enough to wrap differently at the full width and beside the bar.
  auto line = [](int i) { return u"W" + Digits(i) + u" aaaa bbbb cccc dddd ee"; };
  for (int i = 1; i <= 40; ++i) m_box.addStr(line(i), kBlack, 0, kBlue);
  Frame();
  Frame();
  const std::uint64_t settled = m_box.WrappedLines();
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_EQ(m_box.WrappedLines(), settled);  // was four layouts of every line a frame
  const auto steady = VisibleLines();

  m_box.addStr(line(41), kBlack, 0, kBlue);
  Frame();
  Frame();
  // The new line, and the other width laid out once more for the new text.
  EXPECT_LE(m_box.WrappedLines() - settled, 1u + 41u);
  EXPECT_NE(VisibleLines(), steady);

  OrvHgeTextBox fresh;
  fresh.setFont(&m_font);
  for (int i = 1; i <= 41; ++i) fresh.addStr(line(i), kBlack, 0, kBlue);
  fresh.setWidth(m_box.getWidth());
  EXPECT_EQ(m_box.getWidth(), 100 - 6);
  EXPECT_EQ(m_box.RowCount(), fresh.RowCount());
  EXPECT_EQ(m_box.getHeight(), fresh.getHeight());
  m_box.RemoveFirstLines(41);  // everything gone: no bar, the full width
  Frame();
  EXPECT_EQ(m_box.getHeight(), 0);
  EXPECT_TRUE(VisibleLines().empty());
}

TEST_F(ScrollTest, ARebuildOfTheSameSizeAlsoShowsTheEnd) {
  AddLines(1, 10);
  Frame();
  m_runner->Input().InjectWheel(20, 20, 3);  // read older lines
  EXPECT_EQ(VisibleLines().front(), "L3");
  EXPECT_EQ(VisibleLines().front(), "L3");  // no change, no jump
  // A capped list: the oldest line goes, a new one comes; the height stays the same.
  m_box.setText(u"");
  AddLines(2, 11);
  EXPECT_EQ(VisibleLines(), std::vector<std::string>({"L7", "L8", "L9", "L10", "L11"}));
}

TEST_F(ScrollTest, APressOnAnArrowOrTheTrackMovesOneLine) {
  AddLines(1, 10);
  Frame();
  const int lh = m_box.GetLineHeight();
  const gcn::Rectangle up = m_area.UpArrowRect(), track = m_area.TrackRect();
  ASSERT_GT(up.height, 0);
  ASSERT_GT(m_area.ThumbRect().y, track.y + 1);  // at the end: the thumb is at the bottom
  m_runner->Input().InjectClick(10 + up.x + 2, 10 + up.y + 1);
  EXPECT_EQ(VisibleLines().front(), "L5");
  m_runner->Input().InjectClick(10 + track.x + 2, 10 + track.y + 1);  // above the thumb
  Frame();
  EXPECT_EQ(m_area.getVerticalScrollAmount(), 3 * lh);
  const gcn::Rectangle down = m_area.DownArrowRect();
  m_runner->Input().InjectClick(10 + down.x + 2, 10 + down.y + 1);
  Frame();
  EXPECT_EQ(m_area.getVerticalScrollAmount(), 4 * lh);
}

TEST_F(ScrollTest, TheSkinIsDrawnPartByPart) {
  // Up arrow red, down arrow green, track blue, thumb white: the stacked skin layout.
  const std::string path = m_dir.File("skin.png");
  {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 6, OrvHgeScrollArea::kSkinHeight, 32,
                                                    SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < s->h; ++y) {
      const std::uint32_t c = y < 8 ? 0xFFFF0000 : y < 16 ? 0xFF00FF00 : y < 32 ? 0xFF0000FF : 0xFFFFFFFF;
      auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
      for (int x = 0; x < s->w; ++x) row[x] = c;
    }
    ASSERT_EQ(IMG_SavePNG(s, path.c_str()), 0);
    SDL_FreeSurface(s);
  }
  OrvHgeImage skin(path.c_str(), false);
  m_area.SetImg(&skin);
  AddLines(1, 20);
  Frame();
  const gcn::Rectangle up = m_area.UpArrowRect(), down = m_area.DownArrowRect();
  const gcn::Rectangle track = m_area.TrackRect(), thumb = m_area.ThumbRect();
  const int x = 10 + up.x + 3;
  EXPECT_EQ(Pixel(x, 10 + up.y + 2), 0xFFFF0000u);
  EXPECT_EQ(Pixel(x, 10 + down.y + 2), 0xFF00FF00u);
  EXPECT_EQ(Pixel(x, 10 + track.y + 2), 0xFF0000FFu);  // the thumb sits at the bottom
  EXPECT_EQ(Pixel(x, 10 + thumb.y + thumb.height / 2), 0xFFFFFFFFu);
  std::remove(path.c_str());
}

TEST_F(ScrollTest, NoBarWhileEverythingFits) {
  AddLines(1, 2);
  Frame();
  EXPECT_EQ(m_area.TrackRect().width, 0);
  EXPECT_EQ(m_box.getWidth(), 100);
  EXPECT_EQ(m_area.getVerticalScrollAmount(), 0);
}

}  // namespace
