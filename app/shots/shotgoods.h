#pragma once
// The goods the screenshot programs put on sale: the first seven of the shared catalogue.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "client/core/cmd_velmora.h"

namespace shots {

struct ShotGoods {
  std::uint32_t id;
  const char* nameUtf8;
  std::uint32_t value;
  const char* picture;
};

constexpr ShotGoods kShotGoods[] = {
    {1001, "金龙手表", 3888, "goods_01.png"},   {1002, "翡翠手镯", 5888, "goods_02.png"},
    {1003, "智能手机", 4999, "goods_03.png"},   {1004, "笔记本电脑", 6999, "goods_04.png"},
    {1005, "山地自行车", 2599, "goods_05.png"}, {1006, "电动滑板车", 1999, "goods_06.png"},
    {1007, "单反相机", 7999, "goods_07.png"},
};
constexpr std::size_t kShotGoodsCount = sizeof(kShotGoods) / sizeof(kShotGoods[0]);

// A store record of `g` (id, value, GBK name, picture) in the given slot, tile and state;
// numbers, likes and shares are left for the caller.
CMD_GF_VELMORA_GOODS_ITEM MakeGoodsRecord(const ShotGoods& g, std::uint32_t slot, std::uint32_t tile,
                                          std::uint32_t state);
// The terms the galleries sell a lot on: 100 shares of 10000, at least 30000 a purchase, the
// remainder below 20000, five minutes to go.
void SetSaleTerms(CMD_GF_VELMORA_GOODS_ITEM& r);
// Replaces what the store lists, without trace lines.
void StoreGoods(const std::vector<CMD_GF_VELMORA_GOODS_ITEM>& list);

}  // namespace shots
