#include "platform/render/glyphcache.h"

#include <functional>

namespace plat {

std::size_t GlyphCache::KeyHash::operator()(const Key& k) const {
  const std::size_t h = std::hash<const void*>()(k.face);
  return h ^ ((static_cast<std::size_t>(k.style) << 16 | k.code) * 0x9E3779B97F4A7C15ull);
}

const CachedGlyph* GlyphCache::Find(const void* face, unsigned style, char16_t code) const {
  auto it = m_entries.find(Key{face, style, code});
  return it == m_entries.end() ? nullptr : &it->second;
}

const CachedGlyph& GlyphCache::Insert(const void* face, unsigned style, char16_t code,
                                      CachedGlyph glyph) {
  if (m_entries.size() >= kMaxEntries) m_entries.clear();
  return m_entries.insert_or_assign(Key{face, style, code}, std::move(glyph)).first->second;
}

}  // namespace plat
