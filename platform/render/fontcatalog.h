#pragma once
// Process-wide font lookup: face names to font files through fontconfig (with aliases that map
// the Song face names to an installed Song/Ming CJK face), and opened FreeType faces cached per
// file, face index and pixel size. Shared by every rasteriser through a shared_ptr so that it
// outlives all of them, static ones included. Single UI thread.
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/render/glyphcache.h"

#include <ft2build.h>
#include FT_FREETYPE_H

struct _FcConfig;

namespace plat {

struct FontFileRef {
  std::string path;  // empty = nothing found
  int index = 0;     // face index inside a collection (.ttc)
};

class FontCatalog {
 public:
  static std::shared_ptr<FontCatalog> Instance();
  ~FontCatalog();
  FontCatalog(const FontCatalog&) = delete;
  FontCatalog& operator=(const FontCatalog&) = delete;

  bool Valid() const { return m_library != nullptr; }
  FT_Library Library() const { return m_library; }

  // The requested face when installed; else a face with CJK glyphs; else any face.
  FontFileRef Resolve(const std::string& familyUtf8, bool bold, bool italic);
  // The face of ref at the pixel size (em height), opened once; nullptr when it cannot be.
  FT_Face OpenFace(const FontFileRef& ref, int pixelSize);
  GlyphCache& Glyphs() { return m_glyphs; }

 private:
  FontCatalog();
  FontFileRef MatchFamily(const std::string& familyUtf8, bool bold, bool italic);
  FontFileRef MatchCjk(bool bold, bool italic);
  FontFileRef MatchAny();
  bool Openable(const FontFileRef& ref);

  FT_Library m_library = nullptr;
  _FcConfig* m_config = nullptr;
  std::map<std::tuple<std::string, bool, bool>, FontFileRef> m_resolved;
  std::map<std::tuple<std::string, int, int>, FT_Face> m_faces;
  GlyphCache m_glyphs;
};

}  // namespace plat
