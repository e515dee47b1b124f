#include "platform/toolkit/orvhgeimage.h"

#include "platform/text/assetpath.h"
#include "platform/toolkit/pixeltexture.h"
#include "platform/toolkit/runtime.h"
#include "platform/toolkit/textureentry.h"

OrvHgeImage::OrvHgeImage(const char* path, bool flag) : m_path(path ? path : ""), m_flag(flag) {
  if (m_path.empty()) return;
  const std::string file = plat::AssetPath(m_path);
  plat::Runtime* rt = plat::Runtime::Current();
  m_entry = rt != nullptr ? rt->Textures().Load(file) : plat::DecodeImageFile(file);
  if (m_entry) {
    m_width = m_entry->Width();
    m_height = m_entry->Height();
  }
}

OrvHgeImage::~OrvHgeImage() = default;

int OrvHgeImage::getWidth() const { return m_width; }

int OrvHgeImage::getHeight() const { return m_height; }

bool OrvHgeImage::IsValid() const { return m_entry != nullptr; }

HTEXTURE OrvHgeImage::Texture() const {
  if (!m_entry) return 0;
  HGE* hge = hgeCreate(HGE_VERSION);
  plat::ValidateDevice(hge);
  const HTEXTURE tex = TextureOn(hge);
  if (hge) hge->Release();
  return tex;
}

HTEXTURE OrvHgeImage::TextureOn(HGE* device) const {
  int level = 0;
  return TextureOn(device, 1.0f, &level);
}

OrvHgeImage::Placed OrvHgeImage::PlaceOn(HGE* device, float scale) const {
  if (!m_entry || !device) return Placed{};
  const int wanted = m_flag ? plat::TextureEntry::LevelForScale(scale) : 0;
  const std::uint64_t instance = device->Instance();
  const LastPlace& last = m_last;
  // A device without a number of its own is checked in full each time.
  if (instance != 0 && last.device == device && last.instance == instance &&
      last.placed.level == wanted && last.pixels->Version() == last.version)
    return last.placed;
  Placed placed;
  placed.level = wanted;
  plat::PixelTexture* pixels = m_entry->Level(placed.level);
  placed.tex = pixels->On(device);
  if (!placed.tex) return placed;
  placed.texWidth = device->Texture_GetWidth(placed.tex);
  placed.texHeight = device->Texture_GetHeight(placed.tex);
  // Kept only when asked and answered levels agree (a tiny image has fewer levels).
  if (instance != 0 && placed.level == wanted)
    m_last = LastPlace{device, instance, pixels, pixels->Version(), placed};
  return placed;
}

HTEXTURE OrvHgeImage::TextureOn(HGE* device, float scale, int* level) const {
  const Placed placed = PlaceOn(device, scale);
  *level = placed.level;
  return placed.tex;
}
