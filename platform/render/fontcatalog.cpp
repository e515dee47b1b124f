#include "platform/render/fontcatalog.h"

#include <fontconfig/fontconfig.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace plat {
namespace {

// Names the game uses for the Song face, and the installed faces that stand in for it.
constexpr const char* kSongNames[] = {"宋体", "宋", "SimSun", "NSimSun", "新宋体"};
constexpr const char* kSongFaces[] = {"AR PL UMing CN",     "AR PL UMing TW",
                                      "AR PL SungtiL GB",   "Noto Serif CJK SC",
                                      "Source Han Serif SC", "Noto Sans CJK SC",
                                      "WenQuanYi Zen Hei"};
constexpr FcChar32 kCjkProbe = 0x4E2D;  // 中
constexpr const char* kCjkLang = "zh-cn";
constexpr int kMaxPixelSize = 1024;

std::string SongAliasConfig() {
  std::string xml =
      "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\"><fontconfig>";
  for (const char* name : kSongNames) {
    xml += "<alias binding=\"same\"><family>";
    xml += name;
    xml += "</family><prefer>";
    for (const char* face : kSongFaces) {
      xml += "<family>";
      xml += face;
      xml += "</family>";
    }
    xml += "</prefer></alias>";
  }
  xml += "</fontconfig>";
  return xml;
}

bool IsSongName(const std::string& family) {
  for (const char* name : kSongNames)
    if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(name),
                           reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
      return true;
  return false;
}

// Owns one FcPattern.
class Pattern {
 public:
  explicit Pattern(FcPattern* p) : m_p(p) {}
  ~Pattern() {
    if (m_p) FcPatternDestroy(m_p);
  }
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;
  FcPattern* get() const { return m_p; }

 private:
  FcPattern* m_p;
};

bool HasFamily(FcPattern* match, const std::string& family) {
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &s) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(s, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) return true;
  return false;
}

bool CoversCjk(FcPattern* match) {
  FcCharSet* cs = nullptr;
  return FcPatternGetCharSet(match, FC_CHARSET, 0, &cs) == FcResultMatch &&
         FcCharSetHasChar(cs, kCjkProbe);
}

FontFileRef RefOf(FcPattern* match) {
  FontFileRef ref;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) return ref;
  ref.path = reinterpret_cast<const char*>(file);
  int index = 0;
  if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) ref.index = index;
  return ref;
}

}  // namespace

std::shared_ptr<FontCatalog> FontCatalog::Instance() {
  static std::shared_ptr<FontCatalog> instance(new FontCatalog());
  return instance;
}

FontCatalog::FontCatalog() {
  if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
  m_config = FcInitLoadConfigAndFonts();
  if (m_config) {
    const std::string xml = SongAliasConfig();
    FcConfigParseAndLoadFromMemory(m_config, reinterpret_cast<const FcChar8*>(xml.c_str()),
                                   FcFalse);
  }
}

FontCatalog::~FontCatalog() {
  for (auto& entry : m_faces) FT_Done_Face(entry.second);
  m_faces.clear();
  for (auto& entry : m_files) munmap(entry.second.data, entry.second.size);
  m_files.clear();
  if (m_library) FT_Done_FreeType(m_library);
  if (m_config) FcConfigDestroy(m_config);
}

bool FontCatalog::Openable(const FontFileRef& ref) {
  if (ref.path.empty() || !m_library) return false;
  FT_Face face = nullptr;
  if (FT_New_Face(m_library, ref.path.c_str(), ref.index, &face) != 0) return false;
  FT_Done_Face(face);
  return true;
}

FontFileRef FontCatalog::Resolve(const std::string& familyUtf8, bool bold, bool italic) {
  const auto key = std::make_tuple(familyUtf8, bold, italic);
  auto it = m_resolved.find(key);
  if (it != m_resolved.end()) return it->second;
  FontFileRef ref;
  if (!familyUtf8.empty()) ref = MatchFamily(familyUtf8, bold, italic);
  if (!Openable(ref)) ref = MatchCjk(bold, italic);
  if (!Openable(ref)) ref = MatchAny();
  if (!Openable(ref)) ref = FontFileRef{};
  m_resolved.emplace(key, ref);
  return ref;
}

namespace {

// Best match for a pattern in config; the returned pattern must be destroyed.
FcPattern* Match(FcConfig* config, FcPattern* pattern, bool bold, bool italic) {
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  return FcFontMatch(config, pattern, &result);
}

}  // namespace

FontFileRef FontCatalog::MatchFamily(const std::string& familyUtf8, bool bold, bool italic) {
  if (!m_config) return {};
  Pattern pattern(FcPatternCreate());
  if (!pattern.get()) return {};
  FcPatternAddString(pattern.get(), FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
  Pattern match(Match(m_config, pattern.get(), bold, italic));
  if (!match.get()) return {};
  // fontconfig always answers with something; only take it when it is the face asked for
  // (or, for the Song names, a CJK face the aliases led to).
  const bool wanted =
      HasFamily(match.get(), familyUtf8) || (IsSongName(familyUtf8) && CoversCjk(match.get()));
  return wanted ? RefOf(match.get()) : FontFileRef{};
}

FontFileRef FontCatalog::MatchCjk(bool bold, bool italic) {
  if (!m_config) return {};
  Pattern pattern(FcPatternCreate());
  if (!pattern.get()) return {};
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(kCjkLang));
  Pattern match(Match(m_config, pattern.get(), bold, italic));
  if (!match.get() || !CoversCjk(match.get())) return {};
  return RefOf(match.get());
}

FontFileRef FontCatalog::MatchAny() {
  if (!m_config) return {};
  Pattern pattern(FcPatternCreate());
  if (!pattern.get()) return {};
  Pattern match(Match(m_config, pattern.get(), false, false));
  return match.get() ? RefOf(match.get()) : FontFileRef{};
}

const FontCatalog::MappedFile* FontCatalog::Map(const std::string& path) {
  auto it = m_files.find(path);
  if (it != m_files.end()) return &it->second;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  MappedFile file;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    file.size = static_cast<std::size_t>(st.st_size);
    file.data = mmap(nullptr, file.size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (file.data == MAP_FAILED) file.data = nullptr;
  }
  close(fd);
  if (!file.data) return nullptr;
  return &m_files.emplace(path, file).first->second;
}

FT_Face FontCatalog::OpenFace(const FontFileRef& ref, int pixelSize) {
  if (!m_library || ref.path.empty() || pixelSize <= 0 || pixelSize > kMaxPixelSize)
    return nullptr;
  const auto key = std::make_tuple(ref.path, ref.index, pixelSize);
  auto it = m_faces.find(key);
  if (it != m_faces.end()) return it->second;
  const MappedFile* file = Map(ref.path);
  if (!file) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(m_library, static_cast<const FT_Byte*>(file->data),
                         static_cast<FT_Long>(file->size), ref.index, &face) != 0)
    return nullptr;
  FT_Error err = 0;
  if (FT_IS_SCALABLE(face)) {
    err = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  } else if (face->num_fixed_sizes > 0) {
    // Bitmap-only font: the strike closest to the size asked for.
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
      if (std::abs(face->available_sizes[i].height - pixelSize) <
          std::abs(face->available_sizes[best].height - pixelSize))
        best = i;
    err = FT_Select_Size(face, best);
  } else {
    err = 1;
  }
  if (err != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  m_faces.emplace(key, face);
  return face;
}

}  // namespace plat
