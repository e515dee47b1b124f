#include "platform/render/glyphrasterizer.h"

#include "platform/render/fontcatalog.h"
#include "platform/render/freetyperasterizer.h"
#include "platform/text/textconv.h"

namespace plat {
namespace {

RasterizerFactory g_factory = nullptr;
constexpr unsigned kMonoRowAlignBits = 32;
constexpr unsigned kGrayRowAlignBytes = 4;

}  // namespace

std::unique_ptr<GlyphRasterizer> CreateGlyphRasterizer() {
  if (g_factory) return g_factory();
  auto r = std::make_unique<FreeTypeRasterizer>();
  if (!r->Valid()) return nullptr;
  return r;
}

void SetRasterizerFactory(RasterizerFactory f) { g_factory = f; }

std::string ResolveFontFile(const std::string& faceGbk) {
  auto catalog = FontCatalog::Instance();
  if (!catalog->Valid()) return {};
  return catalog->Resolve(GbkToUtf8(faceGbk), false, false).path;
}

unsigned GlyphRowBytes(unsigned format, unsigned width) {
  if (format == GGO_BITMAP)
    return (width + kMonoRowAlignBits - 1) / kMonoRowAlignBits * (kMonoRowAlignBits / 8);
  if (format == GGO_GRAY8_BITMAP)
    return (width + kGrayRowAlignBytes - 1) / kGrayRowAlignBytes * kGrayRowAlignBytes;
  return 0;
}

}  // namespace plat
