#pragma once
// A coverage image (0..1 per pixel) used for text and its outline or shadow.
#include <vector>

class AlphaMask {
 public:
  AlphaMask() = default;
  AlphaMask(int w, int h);
  int Width() const { return w_; }
  int Height() const { return h_; }
  float At(int x, int y) const;  // 0 outside
  void Max(int x, int y, float v);
  // A copy with a border of pad pixels on every side.
  AlphaMask Padded(int pad) const;
  // Grows the covered area by r pixels (round brush).
  AlphaMask Dilated(float r) const;
  // Box blur run three times, close to a gaussian of the given radius.
  AlphaMask Blurred(int r) const;

 private:
  int w_ = 0, h_ = 0;
  std::vector<float> a_;
};
