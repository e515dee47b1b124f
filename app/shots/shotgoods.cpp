#include "app/shots/shotgoods.h"

#include "client/data/buydata.h"
#include "platform/text/textconv.h"

namespace shots {
namespace {

constexpr std::uint32_t kTotalShares = 100;
constexpr std::uint32_t kSharePrice = 10000;
constexpr std::uint32_t kMinPurchase = 30000;
constexpr std::uint32_t kRemainderThreshold = 20000;
constexpr std::uint32_t kSecondsLeft = 300;

}  // namespace

CMD_GF_VELMORA_GOODS_ITEM MakeGoodsRecord(const ShotGoods& g, std::uint32_t slot, std::uint32_t tile,
                                          std::uint32_t state) {
  CMD_GF_VELMORA_GOODS_ITEM r{};
  r.goodsId = g.id;
  r.goodsValue = g.value;
  r.slot = slot;
  r.tileIndex = tile;
  r.state = state;
  SetFieldText(r.goodsName, plat::Utf8ToGbk(g.nameUtf8));
  SetFieldText(r.pictureFile, g.picture);
  return r;
}

void SetSaleTerms(CMD_GF_VELMORA_GOODS_ITEM& r) {
  r.totalShares = kTotalShares;
  r.sharePrice = kSharePrice;
  r.minPurchase = kMinPurchase;
  r.remainderThreshold = kRemainderThreshold;
  r.secondsLeft = kSecondsLeft;
}

void StoreGoods(const std::vector<CMD_GF_VELMORA_GOODS_ITEM>& list) {
  CBuyData& data = GetBuyData();
  data.SetTraceOutput(nullptr);
  data.UpdateData(list.data(), static_cast<std::uint16_t>(list.size() * sizeof(list[0])));
}

}  // namespace shots
