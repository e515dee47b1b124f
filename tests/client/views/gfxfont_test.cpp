#include "client/views/gfxfont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/text/textconv.h"
#include "tests/client/views/fontfixture.h"

namespace {

constexpr int kSize = 14;

class GfxFontTest : public FontFixture {
 protected:
  GfxFont MakeFont(int size = kSize, bool antialias = false) {
    return GfxFont("SimSun", size, true, false, antialias);
  }
};

std::size_t Count(const std::vector<char16_t>& v, char16_t c) {
  return static_cast<std::size_t>(std::count(v.begin(), v.end(), c));
}

TEST_F(GfxFontTest, MeasuresOnTheTwoWidthGrid) {
  GfxFont font("SimSun", kSize, true, false, false);
  ASSERT_TRUE(font.IsValid());
  EXPECT_EQ(font.GetPixelSize(), 14.0f);

  const GfxFont::Size cjk = font.MeasureText(u"中文");
  EXPECT_EQ(cjk.width, 28);
  EXPECT_EQ(cjk.height, 14);
  EXPECT_EQ(font.MeasureText(u"ab").width, 14);

  const GfxFont::Size lf = font.MeasureText(u"a\nbc");
  EXPECT_EQ(lf.width, 14);
  EXPECT_EQ(lf.height, 28);

  // CR LF is two line breaks.
  const GfxFont::Size crlf = font.MeasureText(u"a\r\nb");
  EXPECT_EQ(crlf.width, 7);
  EXPECT_EQ(crlf.height, 42);

  // Narrow entry points go through GBK.
  EXPECT_EQ(font.MeasureWidth(plat::Utf8ToGbk("中a文").c_str()), 35);
  EXPECT_EQ(font.MeasureHeight(plat::Utf8ToGbk("中\n文").c_str()), 28);
  EXPECT_EQ(font.MeasureWidth(nullptr), 0);
  EXPECT_EQ(font.MeasureText(u"").height, 14);
}

TEST_F(GfxFontTest, HalfAdvanceRoundsHalfToEvenAndSpacingCounts) {
  GfxFont odd = MakeFont(13);  // 6.5 -> 6
  EXPECT_EQ(odd.MeasureText(u"ab").width, 12);
  GfxFont odd2 = MakeFont(15);  // 7.5 -> 8
  EXPECT_EQ(odd2.MeasureText(u"ab").width, 16);

  GfxFont font = MakeFont();
  font.SetLetterSpacing(1.5f);
  font.SetLineSpacing(2.25f);
  EXPECT_EQ(font.GetLetterSpacing(), 1.5f);
  EXPECT_EQ(font.GetLineSpacing(), 2.25f);
  // Every character, the last one too, carries the letter spacing: 2 * (7 + 1.5) = 17.
  EXPECT_EQ(font.MeasureText(u"ab").width, 17);
  // Each break adds round(14 + 2.25) = 16.
  EXPECT_EQ(font.MeasureText(u"a\nb\nc").height, 14 + 16 + 16);
}

TEST_F(GfxFontTest, GlyphsAreRasterisedOnceAndReusedForDrawing) {
  GfxFont font = MakeFont();
  EXPECT_EQ(font.MeasureWidth("abca"), 28);
  EXPECT_EQ(raster().sizeQueries.size(), 3u);
  EXPECT_EQ(raster().dataQueries.size(), 3u);
  EXPECT_EQ(hge.creates, 3);

  font.DrawWide(0, 0, u"abca");
  font.DrawFormatted(0, 0, "%s", "cab");
  EXPECT_EQ(raster().sizeQueries.size(), 3u) << "drawing rasterised again";
  EXPECT_EQ(hge.creates, 3);
  EXPECT_EQ(hge.quads.size(), 7u);
  // Same glyph, same texture.
  EXPECT_EQ(hge.quads[0].tex, hge.quads[3].tex);
  EXPECT_NE(hge.quads[0].tex, hge.quads[1].tex);
}

TEST_F(GfxFontTest, FailedTextureIsRetriedAtTheNextUse) {
  GfxFont font = MakeFont();
  hge.failCreates = 1;  // the draw looks 'A' up once; its advance needs no glyph
  font.DrawWide(100, 50, u"AB");
  ASSERT_EQ(hge.quads.size(), 1u) << "an uncached glyph must draw nothing";
  EXPECT_EQ(font.Record(u'A')->texture, 0u);
  EXPECT_EQ(font.Record(u'A')->width, 0.0f);
  // The pen still moved on by A's advance: B sits at 100 + 7 + origin x.
  EXPECT_FLOAT_EQ(hge.quads[0].v[0].x, 100 + 7 + FakeRasterizer::kOriginX);

  hge.quads.clear();
  font.DrawWide(100, 50, u"AB");
  ASSERT_EQ(hge.quads.size(), 2u);
  EXPECT_NE(font.Record(u'A')->texture, 0u);
  EXPECT_EQ(Count(raster().dataQueries, u'A'), 1u);
}

TEST_F(GfxFontTest, QuadSitsOnTheBaselineWithTheGlyphOffsets) {
  raster().ascent = 12;
  FakeRasterizer::Glyph g;
  g.width = 3;
  g.height = 4;
  g.originX = -2;
  g.originY = 9;
  g.bits.assign(16, 0xFF);
  raster().custom[u'q'] = g;
  GfxFont font = MakeFont();

  font.DrawWide(10, 20, u"q");
  const GfxFont::GlyphRecord* r = font.Record(u'q');
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->xOffset, 2.0f);
  EXPECT_EQ(r->yOffset, -3.0f);
  ASSERT_EQ(hge.quads.size(), 1u);
  const hgeQuad& q = hge.quads[0];
  // Top-left = (pen x + origin x, pen y + ascent - origin y); size = black box.
  EXPECT_FLOAT_EQ(q.v[0].x, 8.0f);
  EXPECT_FLOAT_EQ(q.v[0].y, 23.0f);
  EXPECT_FLOAT_EQ(q.v[2].x, 11.0f);
  EXPECT_FLOAT_EQ(q.v[2].y, 27.0f);
}

TEST_F(GfxFontTest, LineBreaksRestartThePenOneLineDown) {
  GfxFont font = MakeFont();
  font.SetLineSpacing(3.0f);
  font.DrawWide(5, 0, u"ab\ncd\r\ne");
  ASSERT_EQ(hge.quads.size(), 5u);
  const float top = FakeRasterizer::kOriginY - 12.0f;  // pen y - y offset for a fake glyph
  const float left = 5.0f + FakeRasterizer::kOriginX;
  EXPECT_FLOAT_EQ(hge.quads[1].v[0].x, left + 7);
  EXPECT_FLOAT_EQ(hge.quads[2].v[0].x, left);
  EXPECT_FLOAT_EQ(hge.quads[2].v[0].y, -top + 17);
  EXPECT_FLOAT_EQ(hge.quads[4].v[0].x, left);
  EXPECT_FLOAT_EQ(hge.quads[4].v[0].y, -top + 3 * 17);
}

TEST_F(GfxFontTest, OneBitRowsArePaddedTo32BitsAndWrittenOneTextureRowApart) {
  FakeRasterizer::Glyph g;
  g.width = 33;
  g.height = 2;
  g.bits.assign(16, 0);  // two rows of 8 bytes
  g.bits[0] = 0x80;      // row 0 pixel 0
  g.bits[4] = 0x80;      // row 0 pixel 32
  g.bits[9] = 0x01;      // row 1 pixel 15
  raster().custom[u'W'] = g;
  GfxFont font = MakeFont();
  font.MeasureWidth("W");

  const FakeRenderer::Texture* t = hge.Find(font.Record(u'W')->texture);
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->rowWidth, 48);
  auto at = [&](int x, int y) { return t->pixels[static_cast<std::size_t>(y) * 48 + x]; };
  EXPECT_EQ(at(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(at(32, 0), 0xFFFFFFFFu);
  EXPECT_EQ(at(1, 0), 0u);
  EXPECT_EQ(at(15, 1), 0xFFFFFFFFu);
  EXPECT_EQ(at(0, 1), 0u);
  EXPECT_EQ(std::count(t->pixels.begin(), t->pixels.end(), 0xFFFFFFFFu), 3);
  EXPECT_EQ(t->locks, 1);
  EXPECT_EQ(t->unlocks, 1);
}

TEST_F(GfxFontTest, GrayRowsArePaddedTo4BytesAndLevelsMapToAlpha) {
  FakeRasterizer::Glyph g;
  g.width = 5;
  g.height = 2;
  g.bits = {0, 1, 32, 63, 64, 9, 9, 9,  // padding bytes must not be read as pixels
            64, 0, 0, 0, 63, 9, 9, 9};
  raster().custom[u'g'] = g;
  GfxFont font = MakeFont(kSize, true);
  font.MeasureWidth("g");
  ASSERT_EQ(raster().formats.back(), 6u);

  const FakeRenderer::Texture* t = hge.Find(font.Record(u'g')->texture);
  ASSERT_NE(t, nullptr);
  const int pitch = t->rowWidth;
  EXPECT_EQ(t->pixels[0], 0x00FFFFFFu);
  EXPECT_EQ(t->pixels[1], 0x04FFFFFFu);
  EXPECT_EQ(t->pixels[2], 0x80FFFFFFu);
  EXPECT_EQ(t->pixels[3], 0xFCFFFFFFu);  // 63 -> 252
  EXPECT_EQ(t->pixels[4], 0xFFFFFFFFu);  // 64 -> 255
  EXPECT_EQ(t->pixels[5], 0u);           // outside the black box: untouched
  EXPECT_EQ(t->pixels[pitch + 0], 0xFFFFFFFFu);
  EXPECT_EQ(t->pixels[pitch + 4], 0xFCFFFFFFu);
}

TEST_F(GfxFontTest, GlyphWithoutUsableDataKeepsAnUnwrittenTextureOfItsSize) {
  FakeRasterizer::Glyph none;
  none.width = 4;
  none.height = 5;
  none.originX = 1;
  none.originY = 2;
  none.bits.assign(20, 0xFF);
  none.sizeAnswer = 0;
  raster().custom[u'n'] = none;
  FakeRasterizer::Glyph changed = none;
  changed.sizeAnswer = FakeRasterizer::kComputed;
  changed.dataAnswer = 12;  // a different size the second time
  raster().custom[u'c'] = changed;
  FakeRasterizer::Glyph shortData = none;
  shortData.sizeAnswer = 40;  // asks for more than the rows it holds
  shortData.bits.assign(40, 0xFF);
  shortData.height = 50;
  raster().custom[u's'] = shortData;
  GfxFont font = MakeFont();
  font.MeasureText(u"ncs");

  for (char16_t c : {u'n', u'c'}) {
    const GfxFont::GlyphRecord* r = font.Record(c);
    ASSERT_NE(r->texture, 0u);
    EXPECT_EQ(r->width, 4.0f);
    EXPECT_EQ(r->height, 5.0f);
    EXPECT_EQ(r->xOffset, -1.0f);
    EXPECT_EQ(r->yOffset, 2.0f - 12.0f);
    const FakeRenderer::Texture* t = hge.Find(r->texture);
    EXPECT_EQ(t->locks, 0);
  }
  EXPECT_EQ(Count(raster().dataQueries, u'n'), 0u);
  // 40 bytes hold 10 rows of 4 bytes: only those are read, the rest stays unwritten.
  const FakeRenderer::Texture* s = hge.Find(font.Record(u's')->texture);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->pixels[9 * s->rowWidth], 0xFFFFFFFFu);
  EXPECT_EQ(s->pixels[10 * s->rowWidth], 0u);
}

TEST_F(GfxFontTest, CornerColours) {
  GfxFont font = MakeFont();
  EXPECT_EQ(font.GetDrawColor(0), 0xFFFFFFFFu);
  font.SetDrawColor(0xFF102030, -1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(font.GetDrawColor(i), 0xFF102030u);
  font.SetDrawColor(0x80AABBCC, 2);
  EXPECT_EQ(font.GetDrawColor(1), 0xFF102030u);
  EXPECT_EQ(font.GetDrawColor(2), 0x80AABBCCu);
  EXPECT_EQ(font.GetDrawColor(3), 0xFF102030u);

  font.DrawWide(0, 0, u"x");
  ASSERT_EQ(hge.quads.size(), 1u);
  EXPECT_EQ(hge.quads[0].v[0].col, 0xFF102030u);
  EXPECT_EQ(hge.quads[0].v[2].col, 0x80AABBCCu);
}

TEST_F(GfxFontTest, CharacterAtUsesCellsOpenOnTheLeftAndTop) {
  GfxFont font = MakeFont();
  const char16_t* text = u"ab中";
  EXPECT_EQ(font.CharacterAt(text, 0.0f, 5.0f), 0) << "left edge of the first cell";
  EXPECT_EQ(font.CharacterAt(text, 0.01f, 5.0f), u'a');
  EXPECT_EQ(font.CharacterAt(text, 7.0f, 5.0f), u'a') << "right edge belongs to the cell";
  EXPECT_EQ(font.CharacterAt(text, 7.5f, 5.0f), u'b');
  EXPECT_EQ(font.CharacterAt(text, 28.0f, 14.0f), u'中');
  EXPECT_EQ(font.CharacterAt(text, 28.5f, 5.0f), 0);
  EXPECT_EQ(font.CharacterAt(text, 3.0f, 0.0f), 0);
  EXPECT_EQ(font.CharacterAt(text, 3.0f, 14.5f), 0);

  EXPECT_EQ(font.CharacterAt(u"ab\ncd", 8.0f, 20.0f), u'd');
  EXPECT_EQ(font.CharacterAt(u"ab\n", 3.0f, 20.0f), 0);
  // After CR the LF is tested as a character of the second line.
  EXPECT_EQ(font.CharacterAt(u"a\r\nb", 3.0f, 20.0f), u'\n');
  EXPECT_EQ(font.CharacterAt(u"a\r\nb", 10.0f, 20.0f), u'b');
  EXPECT_EQ(font.CharacterAt(nullptr, 1.0f, 1.0f), 0);
}

TEST_F(GfxFontTest, LastCodeUnitAndSurrogateHalves) {
  GfxFont font = MakeFont();
  EXPECT_EQ(font.Record(0xFFFF), nullptr);
  ASSERT_NE(font.Record(0xFFFE), nullptr);

  const char16_t last[] = {0xFFFF, u'a', 0};
  EXPECT_EQ(font.MeasureText(last).width, 21);
  font.DrawWide(0, 0, last);
  EXPECT_EQ(Count(raster().sizeQueries, 0xFFFF), 0u);
  ASSERT_EQ(hge.quads.size(), 1u) << "0xFFFF draws nothing";
  EXPECT_FLOAT_EQ(hge.quads[0].v[0].x, 14 + FakeRasterizer::kOriginX);

  const char16_t pair[] = {0xD83D, 0xDE00, 0};  // one emoji, two lookups
  EXPECT_EQ(font.MeasureText(pair).width, 28);
  EXPECT_EQ(Count(raster().sizeQueries, 0xD83D), 1u);
  EXPECT_EQ(Count(raster().sizeQueries, 0xDE00), 1u);
}

TEST_F(GfxFontTest, FormattedTextIsCutToTheBufferInsteadOfOverrunningIt) {
  GfxFont font = MakeFont();
  const std::string longText(GfxFont::kFormatBufferSize + 500, 'a');
  font.DrawFormatted(0, 0, "%s", longText.c_str());
  EXPECT_EQ(hge.quads.size(), GfxFont::kFormatBufferSize - 1);

  hge.quads.clear();
  font.DrawFormatted(0, 0, plat::Utf8ToGbk("%d号").c_str(), 7);
  ASSERT_EQ(hge.quads.size(), 2u);
  EXPECT_EQ(Count(raster().sizeQueries, u'7'), 1u);
  EXPECT_EQ(Count(raster().sizeQueries, u'号'), 1u);
}

TEST_F(GfxFontTest, FailedConstructionDrawsNothingAndLeaksNothing) {
  for (int which = 0; which < 2; ++which) {
    FakeRasterizer::Install();
    (which == 0 ? raster().noContext : raster().fontFails) = true;
    hge.releases = 0;
    {
      GfxFont font = MakeFont();
      EXPECT_FALSE(font.IsValid());
      font.SetDrawColor(0xFF00FF00, -1);
      EXPECT_EQ(font.GetDrawColor(0), 0u);
      font.DrawWide(0, 0, u"ab");
      font.DrawFormatted(0, 0, "%s", "ab");
      font.MeasureText(u"ab");
      EXPECT_EQ(font.CharacterAt(u"ab", 1, 1), 0);
      EXPECT_EQ(font.Record(u'a'), nullptr);
    }
    EXPECT_TRUE(hge.quads.empty());
    EXPECT_EQ(hge.creates, 0);
    EXPECT_TRUE(raster().sizeQueries.empty());
    EXPECT_EQ(hge.releases, 1) << "the renderer reference is given back";
  }
}

TEST_F(GfxFontTest, DestructionFreesTexturesBeforeTheFontAndReleasesLast) {
  std::vector<std::string> events;
  {
    GfxFont font = MakeFont();
    font.MeasureText(u"abc");
    hge.events = &events;
    raster().events = &events;
  }
  hge.events = nullptr;
  raster().events = nullptr;
  EXPECT_EQ(hge.LiveTextures(), 0u);
  const std::vector<std::string> expected = {"free", "free", "free", "rasterizer", "release",
                                             "release"};
  EXPECT_EQ(events, expected);
}

TEST_F(GfxFontTest, FormattedTextFollowsEveryChangeOfText) {
  GfxFont font = MakeFont();
  font.DrawFormatted(0, 0, "%s", "ab");
  font.DrawFormatted(0, 0, "%s", "ab");
  ASSERT_EQ(hge.quads.size(), 4u);
  hge.quads.clear();
  font.DrawFormatted(0, 0, "%s%d", "c", 5);  // same length, other text
  ASSERT_EQ(hge.quads.size(), 2u);
  EXPECT_EQ(Count(raster().sizeQueries, u'c'), 1u);
  EXPECT_EQ(Count(raster().sizeQueries, u'5'), 1u);
  hge.quads.clear();
  font.DrawFormatted(0, 0, "%s", "");
  EXPECT_TRUE(hge.quads.empty());
}

TEST_F(GfxFontTest, AFreshFontStartsWithEmptyRecordsWhateverFontsCameBefore) {
  {
    GfxFont first = MakeFont();
    first.MeasureText(u"xyz");
    ASSERT_NE(first.Record(u'x')->texture, 0u);
  }
  GfxFont second = MakeFont();
  for (char16_t c : {u'x', u'y', u'z', u'\xFFFE'}) {
    const GfxFont::GlyphRecord* r = second.Record(c);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->texture, 0u);
    EXPECT_EQ(r->width, 0.0f);
  }
}

}  // namespace
