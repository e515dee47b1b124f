#pragma once
// Decoded image files by file path, shared by every OrvHgeImage of a path.
//
// Files are decoded with SDL2_image into memory, so an image knows its size without any
// render device; unreadable files are not remembered (a file written later is found). One per
// plat::Runtime.
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/render/hge.h"
#include "platform/toolkit/textureentry.h"

namespace plat {

class TextureCache {
 public:
  // nullptr when the file is missing or cannot be decoded.
  std::shared_ptr<TextureEntry> Load(const std::string& filePath);
  void Clear() { m_entries.clear(); }
  // Forgets the pixels of a path nobody else holds any more (their device textures go with
  // them); an entry still in use stays. Returns whether it was dropped.
  bool DropUnused(const std::string& filePath);
  std::size_t Size() const { return m_entries.size(); }

 private:
  std::unordered_map<std::string, std::shared_ptr<TextureEntry>> m_entries;
};

// The pixels of an image file as ARGB; nullptr when it cannot be read.
std::unique_ptr<TextureEntry> DecodeImageFile(const std::string& filePath);

}  // namespace plat
