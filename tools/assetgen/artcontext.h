#pragma once
// The fonts every painter shares: a CJK Ming face for captions and a sans
// face for digits and symbols.
#include "tools/assetgen/font.h"
#include "tools/assetgen/textpainter.h"

class ArtContext {
 public:
  ArtContext();
  const TextPainter& Cjk() const { return cjk_; }
  const TextPainter& Latin() const { return latin_; }

 private:
  Font cjkFont_;
  Font latinFont_;
  TextPainter cjk_;
  TextPainter latin_;
};
