#include "server/goodscatalogue.h"

#include <tinyxml.h>

#include <cstdlib>
#include <limits>
#include <set>

#include "server/gbktext.h"

namespace velsrv {

namespace {

// The wire fields are 32 bytes with a terminating zero.
constexpr std::size_t kMaxFieldBytes = 31;
constexpr std::uint32_t kDefaultSharePrice = 10000;

bool ParseUnsigned(const char* text, std::uint32_t* out) {
  if (text == nullptr || *text == '\0') return false;
  std::uint64_t value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(*p - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return false;
  }
  *out = static_cast<std::uint32_t>(value);
  return true;
}

bool ReadUnsigned(const TiXmlElement* e, const char* name, std::uint32_t* out, std::string* error,
                  const std::uint32_t* fallback = nullptr) {
  const char* text = e->Attribute(name);
  if (text == nullptr && fallback != nullptr) {
    *out = *fallback;
    return true;
  }
  if (ParseUnsigned(text, out)) return true;
  if (error) *error = std::string("goods line ") + std::to_string(e->Row()) + ": bad or missing " + name;
  return false;
}

bool Fail(std::string* error, const TiXmlElement* e, const std::string& what) {
  if (error) *error = "goods line " + std::to_string(e->Row()) + ": " + what;
  return false;
}

bool IsSafePictureName(const std::string& name) {
  if (name.empty() || name.size() > kMaxFieldBytes || name.find("..") != std::string::npos) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                    c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

bool GoodsCatalogue::LoadFile(const std::string& path, std::string* error) {
  TiXmlDocument doc;
  if (!doc.LoadFile(path.c_str(), TIXML_ENCODING_UTF8)) {
    if (error) *error = path + ": " + doc.ErrorDesc();
    return false;
  }
  return Parse(doc, error);
}

bool GoodsCatalogue::LoadText(const std::string& xml, std::string* error) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) {
    if (error) *error = doc.ErrorDesc();
    return false;
  }
  return Parse(doc, error);
}

bool GoodsCatalogue::Parse(TiXmlDocument& doc, std::string* error) {
  const TiXmlElement* root = doc.RootElement();
  if (root == nullptr || root->ValueStr() != "goodsList") {
    if (error) *error = "the root element must be <goodsList>";
    return false;
  }
  std::uint32_t listPrice = kDefaultSharePrice;
  if (!ReadUnsigned(root, "sharePrice", &listPrice, error, &kDefaultSharePrice)) return false;

  std::vector<GoodsDef> goods;
  std::set<std::uint32_t> ids;
  for (const TiXmlElement* e = root->FirstChildElement("goods"); e; e = e->NextSiblingElement("goods")) {
    GoodsDef g;
    if (!ReadUnsigned(e, "id", &g.id, error) || !ReadUnsigned(e, "value", &g.value, error) ||
        !ReadUnsigned(e, "shares", &g.totalShares, error) ||
        !ReadUnsigned(e, "sharePrice", &g.sharePrice, error, &listPrice) ||
        !ReadUnsigned(e, "minPurchase", &g.minPurchase, error) ||
        !ReadUnsigned(e, "remainderThreshold", &g.remainderThreshold, error))
      return false;
    if (g.id == 0 || !ids.insert(g.id).second) return Fail(error, e, "goods id must be unique and non-zero");
    if (g.totalShares == 0 || g.sharePrice == 0) return Fail(error, e, "shares and share price must be positive");
    const char* name = e->Attribute("name");
    g.nameUtf8 = name ? name : "";
    auto gbk = Utf8ToGbk(g.nameUtf8);
    if (g.nameUtf8.empty() || !gbk || gbk->size() > kMaxFieldBytes)
      return Fail(error, e, "name must be 1 to 31 bytes of GBK text");
    g.nameGbk = *gbk;
    const char* picture = e->Attribute("picture");
    g.picture = picture ? picture : "";
    if (!IsSafePictureName(g.picture)) return Fail(error, e, "picture must be a plain file name of up to 31 bytes");
    goods.push_back(std::move(g));
  }
  if (goods.empty()) {
    if (error) *error = "no <goods> entries";
    return false;
  }
  goods_ = std::move(goods);
  return true;
}

const GoodsDef* GoodsCatalogue::Find(std::uint32_t id) const {
  for (const GoodsDef& g : goods_) {
    if (g.id == id) return &g;
  }
  return nullptr;
}

}  // namespace velsrv
