#include "tests/client/views/fakerasterizer.h"

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<plat::GlyphRasterizer> MakeFake() {
  if (FakeRasterizer::Settings().noContext) return nullptr;
  return std::make_unique<FakeRasterizer>();
}

FakeRasterizer::Glyph DefaultGlyph(char16_t code, unsigned format) {
  FakeRasterizer::Glyph g;
  g.width = code >= 0x2000 ? FakeRasterizer::kWideW : FakeRasterizer::kNarrowW;
  g.height = FakeRasterizer::kGlyphH;
  g.originX = FakeRasterizer::kOriginX;
  g.originY = FakeRasterizer::kOriginY;
  const bool gray = format == plat::GGO_GRAY8_BITMAP;
  const unsigned pitch = gray ? (g.width + 3) / 4 * 4 : (g.width + 31) / 32 * 4;
  g.bits.assign(static_cast<std::size_t>(pitch) * g.height, gray ? 64 : 0xFF);
  return g;
}

}  // namespace

FakeRasterizer::Config& FakeRasterizer::Settings() {
  static Config config;
  return config;
}

void FakeRasterizer::Install() {
  Settings() = Config{};
  plat::SetRasterizerFactory(&MakeFake);
}

void FakeRasterizer::Uninstall() { plat::SetRasterizerFactory(nullptr); }

FakeRasterizer::~FakeRasterizer() {
  if (Settings().events) Settings().events->push_back("rasterizer");
}

bool FakeRasterizer::CreateFont(const std::string& faceGbk, int heightPx, int weight,
                                bool italic) {
  Config& c = Settings();
  c.face = faceGbk;
  c.heightPx = heightPx;
  c.weight = weight;
  c.italic = italic;
  return !c.fontFails;
}

long FakeRasterizer::GetGlyph(char16_t code, unsigned format, plat::GlyphMetrics* metrics,
                              unsigned bufferSize, void* buffer) {
  Config& c = Settings();
  c.formats.push_back(format);
  auto it = c.custom.find(code);
  const Glyph g = it != c.custom.end() ? it->second : DefaultGlyph(code, format);
  if (metrics) {
    *metrics = plat::GlyphMetrics{g.width, g.height, g.originX, g.originY, 0, 0};
  }
  const long real = static_cast<long>(g.bits.size());
  if (!buffer || bufferSize == 0) {
    c.sizeQueries.push_back(code);
    return g.sizeAnswer == kComputed ? real : g.sizeAnswer;
  }
  c.dataQueries.push_back(code);
  if (g.dataAnswer != kComputed) return g.dataAnswer;
  if (bufferSize < g.bits.size()) return plat::GDI_ERROR;
  std::memcpy(buffer, g.bits.data(), g.bits.size());
  return real;
}
