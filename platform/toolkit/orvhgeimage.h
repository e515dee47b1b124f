#pragma once
// An image file as a texture of the current render device.
//
// Callers may rely on:
//  - the path is game-relative and resolved with plat::AssetPath;
//  - a missing or unreadable file still gives a usable object: IsValid() false, 0 x 0, and
//    drawing it draws nothing (so no caller has to test for null);
//  - flag true marks a picture that is drawn scaled (goods pictures): it is sampled with
//    linear filtering; false (the game's own art, drawn 1:1) keeps nearest sampling;
//  - the pixels are loaded once per path and shared by every image of that path; when the
//    render device changes (tests make one per case) the texture is loaded again for the
//    new device on first use, and a texture of a destroyed device is never touched.
// Not a gcn::Image on purpose: the frame's drawImage overloads would turn ambiguous.
// Single UI thread.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/render/hge.h"

namespace plat {
class TextureEntry;
class PixelTexture;
}

class OrvHgeImage {
 public:
  OrvHgeImage(const char* path, bool flag);
  ~OrvHgeImage();
  OrvHgeImage(const OrvHgeImage&) = delete;
  OrvHgeImage& operator=(const OrvHgeImage&) = delete;

  int getWidth() const;
  int getHeight() const;
  bool IsValid() const;
  // Texture on the current device (loaded there if needed); 0 for an invalid image.
  HTEXTURE Texture() const;
  // Texture on a given device (what OrvHgeGraphics uses).
  HTEXTURE TextureOn(HGE* device) const;
  // For drawing at `scale`: a scaled picture may answer a reduced copy, 1 / 2^level of the
  // image (level is set; 0 = the image itself).
  HTEXTURE TextureOn(HGE* device, float scale, int* level) const;
  // TextureOn for drawing: also the texture's size on the device (0 x 0 with no texture).
  struct Placed {
    HTEXTURE tex = 0;
    int level = 0;
    int texWidth = 0, texHeight = 0;
  };
  Placed PlaceOn(HGE* device, float scale) const;
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  bool m_flag;
  std::shared_ptr<plat::TextureEntry> m_entry;  // null when the file could not be read
  // The entry's size, read here while drawing: the entry itself is not reached for it.
  int m_width = 0, m_height = 0;
  // The last PlaceOn answer, good while the device (by its number), the level and the level's
  // pixels are the same: a frame then reaches neither the entry nor the device's texture list.
  struct LastPlace {
    const HGE* device = nullptr;
    std::uint64_t instance = 0;
    const plat::PixelTexture* pixels = nullptr;
    std::uint64_t version = 0;
    Placed placed;
  };
  mutable LastPlace m_last;
};
