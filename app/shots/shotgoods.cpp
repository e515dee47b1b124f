#include "app/shots/shotgoods.h"

#include "platform/text/textconv.h"

namespace shots {

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

}  // namespace shots
