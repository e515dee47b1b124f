#pragma once
// Smooth value noise for wood grain, fabric and stone textures.
#include <cstdint>
#include <vector>

class Noise {
 public:
  explicit Noise(std::uint64_t seed);
  // Smooth noise in 0..1 with features about one unit apart.
  float Value(float x, float y) const;
  // Sum of octaves, normalised to 0..1.
  float Fractal(float x, float y, int octaves) const;

 private:
  float Lattice(int x, int y) const;
  static constexpr int kSize = 256;
  std::vector<float> values_;
};
