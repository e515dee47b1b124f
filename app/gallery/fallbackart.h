#pragma once
// Pictures the gallery draws when the game's assets are not there (yet): made at run time,
// written as PNG files into a temporary folder, and removed again with the object.
#include <string>

namespace gallery {

class FallbackArt {
 public:
  FallbackArt();
  ~FallbackArt();
  FallbackArt(const FallbackArt&) = delete;
  FallbackArt& operator=(const FallbackArt&) = delete;

  // Full paths of the made files ("" when writing failed).
  const std::string& ButtonStrip() const { return m_button; }  // 4 frames of 120 x 40
  const std::string& Picture() const { return m_picture; }     // 290 x 240
  const std::string& ScrollSkin() const { return m_scroll; }   // 6 x 56, stacked parts

 private:
  std::string m_dir;
  std::string m_button, m_picture, m_scroll;
};

}  // namespace gallery
