#include "testing/goodsrecord.h"

#include <cstdio>
#include <iterator>

#include "platform/text/textconv.h"

namespace veltest {

namespace {

struct CatalogueEntry {
  const char* nameUtf8;
  std::uint32_t value;
};
constexpr CatalogueEntry kCatalogue[] = {
    {"金龙手表", 3888},   {"翡翠手镯", 5888},   {"智能手机", 4999}, {"笔记本电脑", 6999},
    {"山地自行车", 2599}, {"电动滑板车", 1999}, {"单反相机", 7999},
};
constexpr std::uint32_t kFirstCatalogueId = 1001;

}  // namespace

GoodsRecord::GoodsRecord(std::uint32_t goodsId) {
  m_record.goodsId = goodsId;
  m_record.goodsNumber = goodsId % 100;
  m_record.slot = 1;
  m_record.state = GOODS_STATE_CANDIDATE;
}

GoodsRecord& GoodsRecord::Slot(std::uint32_t slot) {
  m_record.slot = slot;
  return *this;
}

GoodsRecord& GoodsRecord::Tile(std::uint32_t tileIndex) {
  m_record.tileIndex = tileIndex;
  return *this;
}

GoodsRecord& GoodsRecord::State(std::uint32_t state) {
  m_record.state = state;
  return *this;
}

GoodsRecord& GoodsRecord::Number(std::uint32_t goodsNumber) {
  m_record.goodsNumber = goodsNumber;
  return *this;
}

GoodsRecord& GoodsRecord::Value(std::uint32_t goodsValue) {
  m_record.goodsValue = goodsValue;
  return *this;
}

GoodsRecord& GoodsRecord::Likes(std::uint32_t likeCount) {
  m_record.likeCount = likeCount;
  return *this;
}

GoodsRecord& GoodsRecord::NameUtf8(const std::string& name) {
  SetFieldText(m_record.goodsName, plat::Utf8ToGbk(name));
  return *this;
}

GoodsRecord& GoodsRecord::Picture(const std::string& file) {
  SetFieldText(m_record.pictureFile, file);
  return *this;
}

GoodsRecord CatalogueGoods(std::uint32_t goodsId) {
  const std::uint32_t index = (goodsId - kFirstCatalogueId) % std::size(kCatalogue);
  char picture[32];
  std::snprintf(picture, sizeof(picture), "goods_%02u.png", goodsId - kFirstCatalogueId + 1);
  return GoodsRecord(goodsId)
      .Slot(goodsId - kFirstCatalogueId + 1)
      .Tile(goodsId - kFirstCatalogueId)
      .Number(51 + (goodsId - kFirstCatalogueId))
      .Value(kCatalogue[index].value)
      .Likes(3)
      .NameUtf8(kCatalogue[index].nameUtf8)
      .Picture(picture);
}

}  // namespace veltest
