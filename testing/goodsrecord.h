#pragma once
// Goods records for tests and screenshot programs, built field by field so every call says
// what it sets: MakeGoods(1012).Slot(3).Tile(2).State(GOODS_STATE_CANDIDATE).
#include <cstdint>
#include <string>

#include "client/core/cmd_velmora.h"

namespace veltest {

class GoodsRecord {
 public:
  // Goods `goodsId` in slot 1 on tile 0, candidate, number goodsId % 100, everything else zero.
  explicit GoodsRecord(std::uint32_t goodsId);

  GoodsRecord& Slot(std::uint32_t slot);
  GoodsRecord& Tile(std::uint32_t tileIndex);
  GoodsRecord& State(std::uint32_t state);
  GoodsRecord& Number(std::uint32_t goodsNumber);
  GoodsRecord& Value(std::uint32_t goodsValue);
  GoodsRecord& Likes(std::uint32_t likeCount);
  GoodsRecord& NameUtf8(const std::string& name);  // stored as GBK
  GoodsRecord& Picture(const std::string& file);

  operator CMD_GF_VELMORA_GOODS_ITEM() const { return m_record; }  // NOLINT: reads as the record

 private:
  CMD_GF_VELMORA_GOODS_ITEM m_record{};
};

inline GoodsRecord MakeGoods(std::uint32_t goodsId) { return GoodsRecord(goodsId); }

// Goods of the shared test catalogue, ids 1001..1007 (others wrap round it): its name, value,
// picture goods_NN.png and number 51.., in slot id - 1000 on tile id - 1001, liked 3 times.
GoodsRecord CatalogueGoods(std::uint32_t goodsId);

}  // namespace veltest
