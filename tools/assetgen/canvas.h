#pragma once
// An RGBA float image with anti-aliased shape filling and PNG/JPEG output.
#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/alphamask.h"
#include "tools/assetgen/color.h"
#include "tools/assetgen/paint.h"
#include "tools/assetgen/shape.h"

class Canvas {
 public:
  Canvas(int w, int h, const Rgba& fill = Rgba{});
  int Width() const { return w_; }
  int Height() const { return h_; }

  Rgba Get(int x, int y) const;  // transparent outside the image
  void Set(int x, int y, const Rgba& c);
  // Source-over compositing of c with the given coverage.
  void Blend(int x, int y, const Rgba& c, float coverage);
  // Additive light, for glows and spotlights.
  void AddLight(int x, int y, const Rgba& c, float coverage);

  void Fill(const Shape& s, const Paint& p, float opacity = 1.0f);
  // Feathered fill: the edge fades over blur pixels each side (shadows).
  void FillSoft(const Shape& s, float blur, const Paint& p, float opacity = 1.0f);
  void Glow(const Shape& s, float blur, const Rgba& c);
  // Fills the covered pixels of a mask placed with its top-left at (dx, dy).
  void FillMask(const AlphaMask& m, int dx, int dy, const Paint& p, float opacity = 1.0f);
  void Draw(const Canvas& src, int dx, int dy, float opacity = 1.0f);
  // Bilinear scaling of src into the destination rectangle.
  void DrawScaled(const Canvas& src, const Box& dst);
  // Rewrites every pixel of the region; f gets the pixel and its position.
  void Transform(int x0, int y0, int x1, int y1, const std::function<Rgba(int, int, const Rgba&)>& f);

  Canvas Crop(int x, int y, int w, int h) const;
  bool SavePng(const std::string& path) const;
  // Flattened onto black: JPEG has no alpha.
  bool SaveJpg(const std::string& path, int quality) const;

 private:
  template <typename CoverageFn>
  void Cover(const Box& box, const Paint& p, float opacity, CoverageFn cov, bool additive);
  bool Save(const std::string& path, bool jpeg, int quality) const;

  int w_, h_;
  std::vector<Rgba> px_;
};
