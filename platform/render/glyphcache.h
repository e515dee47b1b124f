#pragma once
// Finished glyph bitmaps shared by every rasteriser of the same face, size and style, so that
// the notice ticker's many short-lived fonts rasterise each character once. Bounded: when full
// it starts over. Entries are valid until the next Insert.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/render/glyphrasterizer.h"

namespace plat {

struct CachedGlyph {
  GlyphMetrics metrics{};
  std::vector<std::uint8_t> bits;  // packed in the GGO format of the key
};

class GlyphCache {
 public:
  static constexpr std::size_t kMaxEntries = 8192;

  // face: the opened face (one per file and size); style: format and synthetic styles.
  const CachedGlyph* Find(const void* face, unsigned style, char16_t code) const;
  const CachedGlyph& Insert(const void* face, unsigned style, char16_t code, CachedGlyph glyph);
  std::size_t Size() const { return m_entries.size(); }

 private:
  struct Key {
    const void* face;
    unsigned style;
    char16_t code;
    bool operator==(const Key& o) const {
      return face == o.face && style == o.style && code == o.code;
    }
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const;
  };
  std::unordered_map<Key, CachedGlyph, KeyHash> m_entries;
};

}  // namespace plat
