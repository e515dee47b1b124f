#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text/textconv.h"
#include "platform/toolkit/deviceregistry.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/glyphatlas.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

const std::string kSong = plat::Utf8ToGbk("宋");

// Draws straight through a graphics object on a headless device (no widgets).
class FontTest : public ::testing::Test {
 protected:
  FontTest() { tktest::ResetFakeGlyphCalls(); }
  ~FontTest() override { plat::ForgetRenderDevice(m_device.get()); }
  template <typename Fn>
  void Draw(Fn fn) {
    m_device->BeginFrame(0.0f, tktest::kBackground);
    m_g._beginDraw();
    fn();
    m_g._endDraw();
    m_device->EndFrame();
  }
  std::uint32_t Pixel(int x, int y) const { return m_device->ReadPixel(x, y); }

  tktest::ScopedRasterizer m_fake{tktest::MakeFakeRasterizer};
  std::unique_ptr<plat::RenderDevice> m_device = plat::RenderDevice::CreateHeadless(200, 100);
  OrvHgeGraphics m_g;
};


TEST_F(FontTest, WidthOfGbkAndWideTextAgree) {
  OrvHgeFont f("x", 14, 0, 0, 0);
  EXPECT_EQ(f.getWidth(std::u16string(u"Ab中")), 7 + 7 + 14);
  EXPECT_EQ(f.getWidth(plat::Utf8ToGbk("Ab中")), 7 + 7 + 14);
  EXPECT_EQ(f.getWidth(std::u16string(u"a\nb\t")), 14);  // controls take no room
  EXPECT_EQ(f.getWidth(std::string()), 0);
  EXPECT_EQ(f.getHeight(), 14);
}

TEST_F(FontTest, CentredTextStartsHalfItsWidthLeftOfX) {
  OrvHgeFont f("x", 10, 0, 0, 0);
  f.SetColor(gcn::Color(255, 0, 0, 255), -1);
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  Draw([&] { f.drawString(&m_g, plat::Utf8ToGbk("中中a"), 100, 20, OrvHgeFont::kAlignCenter); });
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, plat::DrawRecord::Text);
  EXPECT_EQ(log[0].what, "中中a");
  EXPECT_EQ(log[0].w, 25);
  EXPECT_EQ(log[0].x, 100 - 25 / 2);
  EXPECT_EQ(log[0].y, 20);
  // Glyph boxes start at the top of the line here (fake origin = ascent).
  EXPECT_EQ(Pixel(88, 25), 0xFFFF0000u);
  EXPECT_EQ(Pixel(87, 25), tktest::kBackground);
  EXPECT_EQ(Pixel(112, 25), 0xFFFF0000u);
  EXPECT_EQ(Pixel(113, 25), tktest::kBackground);
}

TEST_F(FontTest, GuichanTextDrawingDrawsGbkFromX) {
  OrvHgeFont f("x", 10, 0, 0, 0);
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  Draw([&] {
    gcn::Font& base = f;
    base.drawString(&m_g, plat::Utf8ToGbk("中"), 40, 5);
  });
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].x, 40);
  EXPECT_EQ(log[0].what, "中");
}

TEST_F(FontTest, ColourStaysUntilChanged) {
  OrvHgeFont f("x", 10, 0, 0, 0);
  EXPECT_EQ(f.GetColor(), OrvHgeFont::kDefaultColor);
  f.SetColor(gcn::Color(0, 255, 0, 255), -1);
  f.SetColor(gcn::Color(1, 2, 3, 4), 7);  // no such corner: ignored
  Draw([&] {
    f.drawString(&m_g, std::u16string(u"中"), 10, 10, 0);
    f.drawString(&m_g, std::u16string(u"中"), 50, 10, 0);
  });
  EXPECT_EQ(Pixel(15, 15), 0xFF00FF00u);
  EXPECT_EQ(Pixel(55, 15), 0xFF00FF00u);
  EXPECT_EQ(f.GetColor(), gcn::Color(0, 255, 0, 255));
}

TEST_F(FontTest, ATextAsInTheLastFrameIsTakenOverAndEveryChangeIsDrawn) {
  m_device->SetVerifyFrames(true);  // each frame compared with drawing all its calls
  OrvHgeFont f("x", 10, 0, 0, 0);
  const std::string text = plat::Utf8ToGbk("ab中");  // three glyph quads
  auto frame = [&](int x, const std::string& after = std::string()) {
    Draw([&] {
      f.drawString(&m_g, text, x, 10, 0);
      if (!after.empty()) f.drawString(&m_g, after, 100, 50, 0);
    });
  };
  f.SetColor(gcn::Color(255, 0, 0, 255), -1);
  frame(10);
  frame(10);
  EXPECT_EQ(m_device->RepeatedRunCalls(), 3u);
  EXPECT_EQ(Pixel(12, 15), 0xFFFF0000u);

  f.SetColor(gcn::Color(0, 255, 0, 255), -1);
  frame(10);  // another colour: drawn anew
  EXPECT_EQ(m_device->RepeatedRunCalls(), 3u);
  EXPECT_EQ(Pixel(12, 15), 0xFF00FF00u);
  frame(11);  // moved by a pixel
  EXPECT_EQ(m_device->RepeatedRunCalls(), 3u);
  EXPECT_EQ(Pixel(10, 15), tktest::kBackground);
  frame(11, plat::Utf8ToGbk("Z"));  // a new glyph on the same atlas page, after the text
  frame(11, plat::Utf8ToGbk("Z"));  // the page changed since: drawn anew
  frame(11, plat::Utf8ToGbk("Z"));
  EXPECT_EQ(Pixel(11, 15), 0xFF00FF00u);
  EXPECT_EQ(Pixel(101, 55), 0xFF00FF00u);
  // Taken over in the frame after each change; nothing else.
  EXPECT_EQ(m_device->RepeatedRunCalls(), 3u + 3u + 4u);
  EXPECT_EQ(m_device->Stats().mismatchedFrames, 0u);
  // Wide texts are kept too: the same text is taken over, another one in the same place is not.
  const std::uint64_t before = m_device->RepeatedRunCalls();
  std::u16string wide = u"ab";
  Draw([&] { f.drawString(&m_g, wide, 10, 70, 0); });
  Draw([&] { f.drawString(&m_g, wide, 10, 70, 0); });
  EXPECT_EQ(m_device->RepeatedRunCalls(), before + 2);
  wide[1] = u'a';  // the caller's buffer changed in place
  Draw([&] { f.drawString(&m_g, wide, 10, 70, 0); });
  EXPECT_EQ(m_device->RepeatedRunCalls(), before + 2);
  EXPECT_EQ(m_device->Stats().mismatchedFrames, 0u);
}

TEST_F(FontTest, GlyphsAreRasterisedOncePerFont) {
  OrvHgeFont f("x", 12, 0, 0, 1);
  Draw([&] { f.drawString(&m_g, std::u16string(u"中文中 a"), 0, 0, 0); });
  const int first = tktest::FakeGlyphCalls();
  EXPECT_EQ(first, 4);  // 中, 文, the space (an empty box, fetched once) and a
  EXPECT_EQ(f.RasterizedGlyphs(), 4u);
  Draw([&] {
    for (int i = 0; i < 10; ++i) f.drawString(&m_g, std::u16string(u"文 a中"), 0, 20, 1);
    (void)f.getWidth(std::u16string(u"中文"));
  });
  EXPECT_EQ(tktest::FakeGlyphCalls(), first);
}

// Names from the server may bring any number of distinct characters: the atlas stays within
// its pages and starts over, and texts still measure and draw the same afterwards.
TEST_F(FontTest, AtlasStartsOverWhenFullAndTextsStillDraw) {
  OrvHgeFont f("x", 40, 0, 0, 0);
  f.SetColor(gcn::Color(255, 0, 0, 255), -1);
  std::u16string many;
  for (char16_t c = 0x4E00; c < 0x4E00 + 3000; ++c) many.push_back(c);
  std::size_t widest = 0;
  for (std::size_t i = 0; i < many.size(); i += 50) {
    EXPECT_EQ(f.getWidth(many.substr(i, 50)), 50 * 40);
    widest = std::max(widest, f.AtlasPages());
  }
  EXPECT_LE(widest, plat::GlyphAtlas::kMaxPages);
  EXPECT_GE(f.AtlasRestarts(), 1u);
  // One text longer than the whole atlas: it starts over while the text is drawn.
  const std::size_t restarts = f.AtlasRestarts();
  Draw([&] { f.drawString(&m_g, many.substr(0, 1200), 0, 10, OrvHgeFont::kAlignLeft); });
  EXPECT_GT(f.AtlasRestarts(), restarts);
  EXPECT_EQ(Pixel(5, 15), 0xFFFF0000u);
  EXPECT_EQ(Pixel(45, 45), 0xFFFF0000u);
  EXPECT_EQ(Pixel(5, 55), tktest::kBackground);
  // Drawn again, after yet another start, the same text lands on the same pixels.
  Draw([&] { f.drawString(&m_g, std::u16string(u"中"), 0, 10, OrvHgeFont::kAlignLeft); });
  EXPECT_EQ(Pixel(5, 15), 0xFFFF0000u);
  EXPECT_EQ(Pixel(45, 45), tktest::kBackground);
}

TEST_F(FontTest, AntialiasedGlyphsBlendOneBitGlyphsAreSolid) {
  OrvHgeFont mono("x", 10, 0, 0, 0), gray("x", 10, 0, 0, 1);
  EXPECT_FALSE(mono.IsAntialiased());
  EXPECT_TRUE(gray.IsAntialiased());
  Draw([&] {
    mono.drawString(&m_g, std::u16string(u"中"), 10, 10, 0);
    gray.drawString(&m_g, std::u16string(u"中"), 50, 10, 0);
  });
  EXPECT_EQ(Pixel(15, 15), 0xFFFFFFFFu);
  const std::uint32_t half = Pixel(55, 15);
  const int red = (half >> 16) & 0xFF;  // half coverage over black
  EXPECT_GT(red, 100);
  EXPECT_LT(red, 156);
}

TEST_F(FontTest, KeptConversionsFollowEveryTextPastTheCacheLimit) {
  OrvHgeFont f("x", 10, 0, 0, 0);
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  const std::size_t texts = OrvHgeFont::kConvertedLimit + 40;
  Draw([&] {
    for (std::size_t i = 0; i < texts; ++i)
      f.drawString(&m_g, plat::Utf8ToGbk("第" + std::to_string(i)), 0, 0, 0);
    f.drawString(&m_g, plat::Utf8ToGbk("第0"), 0, 0, 0);  // converted again after the cache emptied
    f.drawString(&m_g, plat::Utf8ToGbk("第0"), 0, 0, 0);
  });
  ASSERT_EQ(log.size(), texts + 2);
  for (std::size_t i = 0; i < texts; ++i) ASSERT_EQ(log[i].what, "第" + std::to_string(i));
  EXPECT_EQ(log[texts].what, "第0");
  EXPECT_EQ(log[texts + 1].what, "第0");
  EXPECT_EQ(f.getWidth(plat::Utf8ToGbk("第12")), 10 + 5 + 5);
}

// A view's string keeps its place while its text changes (a countdown, a count): the kept
// conversion must follow the text, not the place, also across the cache emptying.
TEST_F(FontTest, AKeptStringThatChangesIsMeasuredAndDrawnAnew) {
  OrvHgeFont f("x", 10, 0, 0, 0);
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  std::string text = "12";
  std::string other = plat::Utf8ToGbk("中");
  EXPECT_EQ(f.getWidth(text), 10);
  text = "1234";  // same buffer (short-string storage), longer text
  EXPECT_EQ(f.getWidth(text), 20);
  text = "99";  // same length, other characters
  Draw([&] { f.drawString(&m_g, text, 0, 0, 0); });
  text.assign(other);
  Draw([&] { f.drawString(&m_g, text, 0, 0, 0); });
  for (std::size_t i = 0; i < OrvHgeFont::kConvertedLimit + 3; ++i)
    f.getWidth(std::to_string(i) + "x");
  text = "5";
  Draw([&] { f.drawString(&m_g, text, 0, 0, 0); });
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].what, "99");
  EXPECT_EQ(log[0].w, 10);
  EXPECT_EQ(log[1].what, "中");
  EXPECT_EQ(log[1].w, 10);
  EXPECT_EQ(log[2].what, "5");
  EXPECT_EQ(log[2].w, 5);
}

TEST_F(FontTest, NoRasteriserMeansNoTextAndNoCrash) {
  tktest::ScopedRasterizer none([]() -> std::unique_ptr<plat::GlyphRasterizer> { return nullptr; });
  OrvHgeFont f("x", 10, 0, 0, 0);
  EXPECT_FALSE(f.IsValid());
  EXPECT_EQ(f.getWidth(std::u16string(u"中")), 0);
  Draw([&] { f.drawString(&m_g, std::u16string(u"中"), 10, 10, 0); });
  EXPECT_EQ(Pixel(15, 15), tktest::kBackground);
}

TEST_F(FontTest, StringIndexNeverFallsInsideATwoByteCharacter) {
  OrvHgeFont f("x", 10, 0, 0, 0);
  const std::string s = plat::Utf8ToGbk("中a文");  // bytes: 2 + 1 + 2, widths 10, 5, 10
  EXPECT_EQ(f.getStringIndexAt(s, 0), 0);
  EXPECT_EQ(f.getStringIndexAt(s, 6), 2);
  EXPECT_EQ(f.getStringIndexAt(s, 13), 3);
  EXPECT_EQ(f.getStringIndexAt(s, 100), 5);
}

TEST(FontRealTest, SongFaceDrawsChineseWithFreeType) {
  auto device = plat::RenderDevice::CreateHeadless(100, 40);
  OrvHgeGraphics g;
  OrvHgeFont f(kSong.c_str(), 14, 0, 0, 1);
  ASSERT_TRUE(f.IsValid());
  const int w = f.getWidth(std::u16string(u"中"));
  EXPECT_GE(w, 12);
  EXPECT_LE(w, 16);
  device->BeginFrame(0.0f, tktest::kBackground);
  g._beginDraw();
  f.drawString(&g, std::u16string(u"中"), 10, 10, 0);
  g._endDraw();
  device->EndFrame();
  int lit = 0;
  for (int y = 10; y < 10 + 16; ++y)
    for (int x = 10; x < 10 + w; ++x) lit += device->ReadPixel(x, y) != tktest::kBackground;
  EXPECT_GT(lit, 15);  // the strokes of 中
  EXPECT_EQ(device->ReadPixel(10 + w + 3, 18), tktest::kBackground);
  plat::ForgetRenderDevice(device.get());
}

}  // namespace
