#pragma once
// A rasteriser with made-up, exactly known glyphs. Installed through the factory hook, so its
// settings and observations live in one process-wide Config.
#include <map>
#include <string>
#include <vector>

#include "platform/render/glyphrasterizer.h"

class FakeRasterizer final : public plat::GlyphRasterizer {
 public:
  static constexpr long kComputed = -2;  // answer with the bitmap's real size

  struct Glyph {
    unsigned width = 0, height = 0;
    int originX = 0, originY = 0;
    std::vector<unsigned char> bits;  // exactly as delivered
    long sizeAnswer = kComputed;      // answer to the size query
    long dataAnswer = kComputed;      // answer to the data request
  };

  struct Config {
    bool noContext = false;
    bool fontFails = false;
    int ascent = 12;
    std::map<char16_t, Glyph> custom;
    // Observations.
    std::vector<char16_t> sizeQueries;
    std::vector<char16_t> dataQueries;
    std::vector<unsigned> formats;
    std::string face;
    int heightPx = 0, weight = 0;
    bool italic = false;
    std::vector<std::string>* events = nullptr;
  };

  // Default glyphs: full width 12 x 12 from 0x2000 up, 6 x 12 below, origin (1, 11), all set.
  static constexpr unsigned kWideW = 12, kNarrowW = 6, kGlyphH = 12;
  static constexpr int kOriginX = 1, kOriginY = 11;

  static Config& Settings();
  static void Install();    // fresh settings, factory hooked
  static void Uninstall();  // FreeType again

  ~FakeRasterizer() override;
  bool CreateFont(const std::string& faceGbk, int heightPx, int weight, bool italic) override;
  int Ascent() const override { return Settings().ascent; }
  long GetGlyph(char16_t code, unsigned format, plat::GlyphMetrics* metrics, unsigned bufferSize,
                void* buffer) override;
};
