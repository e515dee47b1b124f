#include "client/data/goodscatalogue.h"

#include <tinyxml.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "platform/text/assetpath.h"

namespace {

// The parser may step up to four bytes at a time (multi-byte sequences)
// and can step over the terminating zero of a truncated file; the extra
// zero bytes keep every such step inside the buffer.
constexpr std::size_t kParsePadding = 8;

bool IsAtoiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Line ends as the parser's own file loader leaves them: CR LF and lone CR
// become LF.
void NormaliseLineEnds(std::string& text) {
  std::size_t out = 0;
  for (std::size_t in = 0; in < text.size(); ++in) {
    if (text[in] == '\r') {
      text[out++] = '\n';
      if (in + 1 < text.size() && text[in + 1] == '\n') ++in;
    } else {
      text[out++] = text[in];
    }
  }
  text.resize(out);
}

}  // namespace

std::uint32_t CGoodsCatalogue::ParseGoodsId(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (IsAtoiSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // Accumulate as a magnitude and saturate, so an over-long number gives
  // the int limit instead of undefined overflow.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
  std::int64_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) magnitude = limit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

bool CGoodsCatalogue::LoadDefault() { return Load(plat::AssetPath(kConfigPath)); }

bool CGoodsCatalogue::Load(const std::string& filePath) {
  try {
    std::ifstream in(filePath, std::ios::binary);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    NormaliseLineEnds(text);
    return ParseDocument(std::move(text));
  } catch (...) {
    return false;
  }
}

bool CGoodsCatalogue::LoadText(std::string_view xml) {
  try {
    return ParseDocument(std::string(xml));
  } catch (...) {
    return false;
  }
}

bool CGoodsCatalogue::ParseDocument(std::string&& text) {
  try {
    // A zero byte inside the file ends the document for the parser, as it
    // would for the parser's own loader.
    text.append(kParsePadding, '\0');
    TiXmlDocument doc;
    doc.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (doc.Error()) return false;
    ReadEntries(doc);
    return true;
  } catch (...) {
    // Whatever was stored before the failure stays.
    return false;
  }
}

void CGoodsCatalogue::ReadEntries(const TiXmlDocument& doc) {
  const TiXmlElement* root = doc.RootElement();
  if (root == nullptr) return;
  for (const TiXmlElement* entry = root->FirstChildElement(); entry != nullptr;
       entry = entry->NextSiblingElement()) {
    const char* idText = entry->Attribute("goodsID");
    if (idText == nullptr) continue;
    const std::uint32_t key = ParseGoodsId(idText);
    if (m_entries.count(key) != 0) continue;
    const char* description = entry->Attribute("description");
    m_entries.emplace(key, description ? description : "");
  }
}

const std::string* CGoodsCatalogue::Find(std::uint32_t goodsId) const {
  const auto it = m_entries.find(goodsId);
  return it == m_entries.end() ? nullptr : &it->second;
}
