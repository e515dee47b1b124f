#pragma once
// A decoded image (PNG or JPEG) with the pixel reads the asset tests need.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

class TestImage {
 public:
  // nullopt when the file is missing or cannot be decoded.
  static std::optional<TestImage> Load(const std::string& path);
  int Width() const { return w_; }
  int Height() const { return h_; }
  Pixel At(int x, int y) const;  // transparent outside
  // Mean lightness (0..1) of the opaque part of a rectangle, alpha-weighted.
  double Lightness(int x, int y, int w, int h) const;
  // Share of pixels in the rectangle whose alpha is at least 128.
  double OpaqueShare(int x, int y, int w, int h) const;
  // Mean absolute channel difference between two equal-size rectangles.
  double Difference(int ax, int ay, int bx, int by, int w, int h) const;

 private:
  int w_ = 0, h_ = 0;
  std::vector<Pixel> px_;
};
