#include "platform/render/glyphrasterizer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/render/fontcatalog.h"
#include "platform/render/glyphcache.h"
#include "platform/text/textconv.h"

namespace {

using plat::GlyphMetrics;

const std::string kSongTi = plat::Utf8ToGbk("宋体");
const std::string kSong = plat::Utf8ToGbk("宋");
constexpr char16_t kZhong = u'中';
constexpr int kWideSize = 48;  // 中 is wider than 32 pixels here

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

struct Glyph {
  GlyphMetrics m{};
  long size = 0;
  std::vector<std::uint8_t> bits;
};

Glyph Fetch(plat::GlyphRasterizer& r, char16_t c, unsigned format) {
  Glyph g;
  g.size = r.GetGlyph(c, format, &g.m, 0, nullptr);
  if (g.size <= 0) return g;
  g.bits.assign(static_cast<std::size_t>(g.size), 0xAA);
  GlyphMetrics second{};
  EXPECT_EQ(r.GetGlyph(c, format, &second, static_cast<unsigned>(g.size), g.bits.data()), g.size);
  EXPECT_EQ(second.blackBoxX, g.m.blackBoxX);
  EXPECT_EQ(second.blackBoxY, g.m.blackBoxY);
  return g;
}

// Pixel (x, y) read the way the font reads it: one-bit rows padded to 32 bits, MSB first;
// gray rows padded to 4 bytes.
int PixelAt(const Glyph& g, unsigned format, unsigned x, unsigned y) {
  if (format == plat::GGO_BITMAP) {
    const unsigned pitch = (g.m.blackBoxX + 31) / 32 * 4;
    return (g.bits[y * pitch + x / 8] >> (7 - x % 8)) & 1;
  }
  const unsigned pitch = (g.m.blackBoxX + 3) / 4 * 4;
  return g.bits[y * pitch + x];
}

// The black box is the ink's bounding box: ink on all four edges, nothing in the padding.
void ExpectTightBoxAndCleanPadding(const Glyph& g, unsigned format) {
  const unsigned w = g.m.blackBoxX, h = g.m.blackBoxY;
  const unsigned pitch = plat::GlyphRowBytes(format, w);
  ASSERT_EQ(static_cast<unsigned long>(g.size), static_cast<unsigned long>(pitch) * h);
  bool left = false, right = false, top = false, bottom = false;
  for (unsigned y = 0; y < h; ++y) {
    for (unsigned x = 0; x < w; ++x) {
      const int v = PixelAt(g, format, x, y);
      if (format == plat::GGO_GRAY8_BITMAP) {
        ASSERT_LE(v, 64);
      }
      if (!v) continue;
      left |= x == 0;
      right |= x == w - 1;
      top |= y == 0;
      bottom |= y == h - 1;
    }
    if (format == plat::GGO_BITMAP) {
      for (unsigned x = w; x < pitch * 8; ++x)
        ASSERT_EQ((g.bits[y * pitch + x / 8] >> (7 - x % 8)) & 1, 0) << "row " << y;
    } else {
      for (unsigned x = w; x < pitch; ++x) ASSERT_EQ(g.bits[y * pitch + x], 0) << "row " << y;
    }
  }
  EXPECT_TRUE(left && right && top && bottom);
}

std::unique_ptr<plat::GlyphRasterizer> MakeFont(const std::string& face, int px, int weight,
                                                bool italic) {
  auto r = plat::CreateGlyphRasterizer();
  EXPECT_TRUE(r);
  if (r) {
    EXPECT_TRUE(r->CreateFont(face, px, weight, italic));
  }
  return r;
}

TEST(FontResolution, SongNamesResolveToTheInstalledMingFace) {
  for (const std::string& face : {kSongTi, kSong, std::string("SimSun")}) {
    const std::string file = plat::ResolveFontFile(face);
    EXPECT_NE(file.find("uming"), std::string::npos) << file;
  }
}

TEST(FontResolution, UnknownOrEmptyFaceStillGivesAFile) {
  for (const std::string& face : {std::string("NoSuchFace Qz"), std::string(), std::string("\xFF\xD6")}) {
    const std::string file = plat::ResolveFontFile(face);
    EXPECT_TRUE(FileExists(file)) << file;
    auto r = MakeFont(face, 14, 400, false);
    ASSERT_TRUE(r);
    // A CJK face is preferred for the fallback: 中 has ink.
    const Glyph g = Fetch(*r, kZhong, plat::GGO_BITMAP);
    EXPECT_GT(g.m.blackBoxX, 1u);
  }
}

TEST(GlyphLayout, WideGlyphRowsArePaddedInBothFormats) {
  auto r = MakeFont(kSongTi, kWideSize, 400, false);
  ASSERT_TRUE(r);
  const Glyph mono = Fetch(*r, kZhong, plat::GGO_BITMAP);
  ASSERT_GE(mono.m.blackBoxX, 33u);
  ASSERT_LE(mono.m.blackBoxX, 64u);
  EXPECT_EQ(mono.size, 8L * mono.m.blackBoxY);  // two 32-bit words per row
  ExpectTightBoxAndCleanPadding(mono, plat::GGO_BITMAP);

  const Glyph gray = Fetch(*r, kZhong, plat::GGO_GRAY8_BITMAP);
  ASSERT_GE(gray.m.blackBoxX, 33u);
  EXPECT_EQ(gray.size, static_cast<long>((gray.m.blackBoxX + 3) / 4 * 4 * gray.m.blackBoxY));
  ExpectTightBoxAndCleanPadding(gray, plat::GGO_GRAY8_BITMAP);
  // Antialiased: full-ink pixels reach 64, edges have intermediate levels.
  bool full = false, partial = false;
  for (std::uint8_t v : gray.bits) {
    full |= v == 64;
    partial |= v > 0 && v < 64;
  }
  EXPECT_TRUE(full && partial);
}

TEST(GlyphLayout, NarrowGlyphRows) {
  auto r = MakeFont(kSongTi, 14, 400, false);
  ASSERT_TRUE(r);
  for (char16_t c : {u'i', u'1', u'l'}) {
    const Glyph mono = Fetch(*r, c, plat::GGO_BITMAP);
    ASSERT_LE(mono.m.blackBoxX, 32u);
    EXPECT_EQ(mono.size, 4L * mono.m.blackBoxY);
    ExpectTightBoxAndCleanPadding(mono, plat::GGO_BITMAP);
    const Glyph gray = Fetch(*r, c, plat::GGO_GRAY8_BITMAP);
    ExpectTightBoxAndCleanPadding(gray, plat::GGO_GRAY8_BITMAP);
  }
  EXPECT_EQ(plat::GlyphRowBytes(plat::GGO_GRAY8_BITMAP, 5), 8u);
  EXPECT_EQ(plat::GlyphRowBytes(plat::GGO_BITMAP, 33), 8u);
  EXPECT_EQ(plat::GlyphRowBytes(plat::GGO_BITMAP, 32), 4u);
}

TEST(GlyphMetricsTest, CjkGlyphSitsOnTheBaselineWithinTheAscent) {
  auto r = MakeFont(kSongTi, 14, 400, false);
  ASSERT_TRUE(r);
  EXPECT_GT(r->Ascent(), 9);
  EXPECT_LE(r->Ascent(), 14);
  for (unsigned format : {plat::GGO_BITMAP, plat::GGO_GRAY8_BITMAP}) {
    const Glyph g = Fetch(*r, kZhong, format);
    EXPECT_EQ(g.m.cellIncX, 14);
    EXPECT_EQ(g.m.cellIncY, 0);
    EXPECT_GE(g.m.originX, 0);
    EXPECT_LE(g.m.originY, r->Ascent());
    // 中 reaches below the baseline by at most a few pixels.
    EXPECT_GT(g.m.originY - static_cast<int>(g.m.blackBoxY), -5);
    EXPECT_GE(g.m.blackBoxX, 10u);
  }
  const Glyph a = Fetch(*r, u'A', plat::GGO_BITMAP);
  EXPECT_EQ(a.m.originY - static_cast<int>(a.m.blackBoxY), 0);  // A stands on the baseline
}

TEST(GlyphMetricsTest, SpaceIsOneByOneWithZeroBits) {
  auto r = MakeFont(kSongTi, 14, 700, false);
  ASSERT_TRUE(r);
  for (unsigned format : {plat::GGO_BITMAP, plat::GGO_GRAY8_BITMAP}) {
    const Glyph g = Fetch(*r, u' ', format);
    EXPECT_EQ(g.m.blackBoxX, 1u);
    EXPECT_EQ(g.m.blackBoxY, 1u);
    ASSERT_EQ(g.size, 4);
    for (std::uint8_t b : g.bits) EXPECT_EQ(b, 0);  // the 0xAA filler was overwritten
    EXPECT_GT(g.m.cellIncX, 0);
  }
}

TEST(GlyphStyle, BoldIsWiderAndItalicLeansRight) {
  auto regular = MakeFont(kSongTi, 20, 400, false);
  auto bold = MakeFont(kSongTi, 20, 700, false);
  auto italic = MakeFont(kSongTi, 20, 400, true);
  ASSERT_TRUE(regular && bold && italic);
  const Glyph r = Fetch(*regular, kZhong, plat::GGO_GRAY8_BITMAP);
  const Glyph b = Fetch(*bold, kZhong, plat::GGO_GRAY8_BITMAP);
  EXPECT_EQ(b.m.blackBoxX, r.m.blackBoxX + 1);
  EXPECT_EQ(b.m.cellIncX, r.m.cellIncX + 1);
  int inkR = 0, inkB = 0;
  for (std::uint8_t v : r.bits) inkR += v;
  for (std::uint8_t v : b.bits) inkB += v;
  EXPECT_GT(inkB, inkR * 5 / 4);

  // The vertical stroke of 丨: its leftmost ink moves right from bottom to top when sheared.
  auto leftInk = [](const Glyph& g, unsigned y) {
    for (unsigned x = 0; x < g.m.blackBoxX; ++x)
      if (PixelAt(g, plat::GGO_GRAY8_BITMAP, x, y) > 32) return static_cast<int>(x);
    return -1;
  };
  const Glyph up = Fetch(*regular, u'丨', plat::GGO_GRAY8_BITMAP);
  const Glyph lean = Fetch(*italic, u'丨', plat::GGO_GRAY8_BITMAP);
  ASSERT_GT(lean.m.blackBoxY, 10u);
  EXPECT_GE(leftInk(up, 1) - leftInk(up, up.m.blackBoxY - 2), -1);
  EXPECT_LE(leftInk(up, 1) - leftInk(up, up.m.blackBoxY - 2), 1);
  EXPECT_GE(leftInk(lean, 1) - leftInk(lean, lean.m.blackBoxY - 2), 2);
}

TEST(GlyphErrors, BadCallsReportGdiErrorAndNeverOverrun) {
  auto r = plat::CreateGlyphRasterizer();
  ASSERT_TRUE(r);
  GlyphMetrics m{};
  EXPECT_EQ(r->GetGlyph(kZhong, plat::GGO_BITMAP, &m, 0, nullptr), plat::GDI_ERROR);  // no font
  EXPECT_FALSE(r->CreateFont(kSongTi, 0, 400, false));
  EXPECT_FALSE(r->CreateFont(kSongTi, -14, 400, false));
  ASSERT_TRUE(r->CreateFont(kSongTi, 14, 400, false));
  EXPECT_EQ(r->GetGlyph(kZhong, 2 /* GGO_NATIVE */, &m, 0, nullptr), plat::GDI_ERROR);
  const long n = r->GetGlyph(kZhong, plat::GGO_BITMAP, &m, 0, nullptr);
  ASSERT_GT(n, 4);
  std::vector<std::uint8_t> small(static_cast<std::size_t>(n), 0x5A);
  EXPECT_EQ(r->GetGlyph(kZhong, plat::GGO_BITMAP, &m, static_cast<unsigned>(n - 1), small.data()),
            plat::GDI_ERROR);
  for (std::uint8_t b : small) ASSERT_EQ(b, 0x5A);
  // Lone surrogates and unassigned code units still give a cacheable answer.
  for (char16_t c : {char16_t(0xD800), char16_t(0xFFFF), char16_t(0)})
    EXPECT_GT(r->GetGlyph(c, plat::GGO_GRAY8_BITMAP, &m, 0, nullptr), 0);
}

TEST(GlyphSharing, LaterFontsOfTheSameFaceReuseFinishedGlyphs) {
  const plat::GlyphCache& cache = plat::FontCatalog::Instance()->Glyphs();
  auto first = MakeFont(kSongTi, 23, 400, false);
  ASSERT_TRUE(first);
  const std::size_t before = cache.Size();
  const Glyph a = Fetch(*first, u'龘', plat::GGO_GRAY8_BITMAP);
  EXPECT_EQ(cache.Size(), before + 1);
  auto second = MakeFont(kSongTi, 23, 400, false);
  const Glyph b = Fetch(*second, u'龘', plat::GGO_GRAY8_BITMAP);
  EXPECT_EQ(cache.Size(), before + 1);
  EXPECT_EQ(a.bits, b.bits);
  // Another style or format is another glyph.
  auto bold = MakeFont(kSongTi, 23, 700, false);
  const Glyph c = Fetch(*bold, u'龘', plat::GGO_GRAY8_BITMAP);
  Fetch(*first, u'龘', plat::GGO_BITMAP);
  EXPECT_EQ(cache.Size(), before + 3);
  EXPECT_NE(c.bits, a.bits);
}

// Mappings of `path` in this process.
int MappingsOf(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  int count = 0;
  for (std::string line; std::getline(maps, line);)
    if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0)
      ++count;
  return count;
}

TEST(GlyphSharing, FacesOfOneFileAtManySizesReadOneMapping) {
  std::shared_ptr<plat::FontCatalog> catalog = plat::FontCatalog::Instance();
  const plat::FontFileRef ref = catalog->Resolve("宋体", false, false);
  if (ref.path.empty()) GTEST_SKIP() << "no font installed";
  std::vector<std::unique_ptr<plat::GlyphRasterizer>> fonts;
  for (int size : {11, 13, 17, 29, 31}) {
    fonts.push_back(MakeFont(kSongTi, size, 400, false));
    ASSERT_TRUE(fonts.back());
    Fetch(*fonts.back(), u'龘', plat::GGO_GRAY8_BITMAP);
  }
  EXPECT_EQ(MappingsOf(ref.path), 1);
  const plat::FontFileRef missing{"/nonexistent/velmora-font.ttf", 0};
  EXPECT_EQ(catalog->OpenFace(missing, 12), nullptr);
  const std::size_t files = catalog->MappedFiles();
  EXPECT_EQ(catalog->OpenFace(missing, 12), nullptr);
  EXPECT_EQ(catalog->MappedFiles(), files);
}

TEST(GlyphSharing, CacheStaysBounded) {
  plat::GlyphCache cache;
  int face = 0;
  for (unsigned i = 0; i < plat::GlyphCache::kMaxEntries + 10; ++i)
    cache.Insert(&face, 0, static_cast<char16_t>(i), plat::CachedGlyph{});
  EXPECT_LE(cache.Size(), plat::GlyphCache::kMaxEntries);
  EXPECT_TRUE(cache.Find(&face, 0, static_cast<char16_t>(plat::GlyphCache::kMaxEntries + 9)));
  EXPECT_FALSE(cache.Find(&face, 1, static_cast<char16_t>(plat::GlyphCache::kMaxEntries + 9)));
}

class FakeRasterizer : public plat::GlyphRasterizer {
 public:
  bool CreateFont(const std::string&, int, int, bool) override { return true; }
  int Ascent() const override { return 77; }
  long GetGlyph(char16_t, unsigned, GlyphMetrics*, unsigned, void*) override { return 0; }
};

TEST(GlyphFactory, TestsCanInstallTheirOwnRasterizer) {
  plat::SetRasterizerFactory([]() -> std::unique_ptr<plat::GlyphRasterizer> {
    return std::make_unique<FakeRasterizer>();
  });
  auto fake = plat::CreateGlyphRasterizer();
  plat::SetRasterizerFactory(nullptr);
  ASSERT_TRUE(fake);
  EXPECT_EQ(fake->Ascent(), 77);
  auto real = plat::CreateGlyphRasterizer();
  ASSERT_TRUE(real);
  EXPECT_EQ(real->Ascent(), 0);
}

}  // namespace
