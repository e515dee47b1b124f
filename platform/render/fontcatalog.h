#pragma once
// Process-wide font lookup: face names to font files through fontconfig (with aliases that map
// the Song face names to an installed Song/Ming CJK face), and opened FreeType faces cached per
// file, face index and pixel size. Every face of one file reads it through one shared read-only
// mapping: a face per size with a mapping each would count the pages of the same glyphs once per
// size in the resident size (four sizes of a 20 MB CJK face grew by a quarter of a megabyte per
// lot of new names). Shared by every rasteriser through a shared_ptr so that it outlives all of
// them, static ones included. Single UI thread.
#include <cstddef>
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
  // How many font files are mapped (tests).
  std::size_t MappedFiles() const { return m_files.size(); }

 private:
  FontCatalog();
  FontFileRef MatchFamily(const std::string& familyUtf8, bool bold, bool italic);
  FontFileRef MatchCjk(bool bold, bool italic);
  FontFileRef MatchAny();
  bool Openable(const FontFileRef& ref);

  struct MappedFile {
    void* data = nullptr;
    std::size_t size = 0;
  };
  // The file's mapping, made on first use; nullptr when it cannot be read.
  const MappedFile* Map(const std::string& path);

  FT_Library m_library = nullptr;
  _FcConfig* m_config = nullptr;
  std::map<std::tuple<std::string, bool, bool>, FontFileRef> m_resolved;
  std::map<std::tuple<std::string, int, int>, FT_Face> m_faces;
  std::map<std::string, MappedFile> m_files;  // unmapped after the faces that read them
  GlyphCache m_glyphs;
};

}  // namespace plat
