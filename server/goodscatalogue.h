#pragma once
// The goods the server can list, read from an XML file (UTF-8):
//   <goodsList sharePrice="10000">
//     <goods id="1001" name="..." value="3888" picture="goods_01.png" shares="40"
//            minPurchase="10000" remainderThreshold="20000" [sharePrice="..."]/>
//   </goodsList>
#include <cstdint>
#include <string>
#include <vector>

class TiXmlDocument;

namespace velsrv {

struct GoodsDef {
  std::uint32_t id = 0;
  std::string nameGbk;
  std::string nameUtf8;
  std::uint32_t value = 0;  // yuan
  std::string picture;
  std::uint32_t totalShares = 0;
  std::uint32_t sharePrice = 0;         // coins
  std::uint32_t minPurchase = 0;        // coins
  std::uint32_t remainderThreshold = 0;  // coins
};

class GoodsCatalogue {
 public:
  bool LoadFile(const std::string& path, std::string* error);
  bool LoadText(const std::string& xml, std::string* error);

  const std::vector<GoodsDef>& Goods() const { return goods_; }
  const GoodsDef* Find(std::uint32_t id) const;

 private:
  bool Parse(TiXmlDocument& doc, std::string* error);
  std::vector<GoodsDef> goods_;
};

}  // namespace velsrv
