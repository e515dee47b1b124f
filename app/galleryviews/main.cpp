// velmora-gallery-views: draws the buy panel, the candidate tiles and the message box
// headless and writes one PNG per screen.
//   velmora-gallery-views [--assets DIR] [--out DIR]
#include <cstdint>
#include <vector>

#include "app/galleryviews/galleryview.h"
#include "app/shots/gallerydialog.h"
#include "app/shots/headlessscreen.h"
#include "app/shots/shotgoods.h"
#include "client/views/buypanel.h"
#include "client/views/msgbox.h"
#include "client/views/systemnotice.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/runtime.h"

namespace {

CMD_GF_VELMORA_GOODS_ITEM MakeItem(const shots::ShotGoods& g, std::uint32_t slot, std::uint32_t tile,
                                   std::uint32_t state) {
  CMD_GF_VELMORA_GOODS_ITEM r = shots::MakeGoodsRecord(g, slot, tile, state);
  r.goodsNumber = slot;
  r.likeCount = 3 * slot + 4;
  return r;
}

// The lot on sale in slot 1, six tiles in slots 2 to 7; the tile in slot 7 is shown sold.
void FillStore() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  CMD_GF_VELMORA_GOODS_ITEM lot = MakeItem(shots::kShotGoods[0], 1, 6, GOODS_STATE_SELLING);
  shots::SetSaleTerms(lot);
  lot.soldShares = 37;
  lot.heldShares = 5;
  list.push_back(lot);
  for (std::uint32_t i = 1; i < 7; ++i) {
    list.push_back(MakeItem(shots::kShotGoods[i], i + 1, i - 1, i == 6 ? GOODS_STATE_SOLD : GOODS_STATE_CANDIDATE));
  }
  shots::StoreGoods(list);
}

}  // namespace

int main(int argc, char** argv) {
  shots::HeadlessScreen screen("gallery-views");
  if (!screen.Open(argc, argv)) return 1;
  bool ok = true;
  {
    plat::Runtime runtime;  // the toolkit state a frame would own; first in, last out
    shots::GalleryDialog dialog;
    galleryviews::GalleryView view;
    plat::GuiRunner runner(&screen.Device());
    runner.SetTop(&view);
    view.InitResource();
    FillStore();
    CBuyPanel& panel = GetBuyPanel();
    panel.ShowControls(true);
    panel.ResetToMinimum();

    ok &= screen.Shoot(runner, "buypanel.png");

    view.SetDrawTiles(true);
    galleryviews::GalleryView& v = view;
    // Hover the like button of tile 1, like tile 3.
    v.Tile(1).OnMouseMove(v.Tile(1).GetX() + 20, v.Tile(1).GetY() + 155);
    v.Tile(3).SetLiked(true);
    ok &= screen.Shoot(runner, "tiles.png");

    CMsgBox& box = GetMsgBox();
    box.ShowKind(MSGBOX_SHARES_SHORT);
    ok &= screen.Shoot(runner, "msgbox_kind1.png");
    box.Close();
    box.SetBoughtCount(3);
    box.ShowKind(MSGBOX_BUY_SUCCESS);
    ok &= screen.Shoot(runner, "msgbox_kind2.png");
    box.Close();
    box.SetGoodsNumber(12);
    box.SetGoodsName(plat::Utf8ToGbk("金龙手表"));
    box.SetWinnerName(plat::Utf8ToGbk("幸运星"));
    box.SetNextGoodsNumber(13);
    box.ShowKind(MSGBOX_OTHER_WON);
    ok &= screen.Shoot(runner, "msgbox_kind3.png");
    box.Close();
    box.ShowKind(MSGBOX_LIKED);
    box.SetCustomText(plat::Utf8ToGbk(
        "您已为\"智能手机\"点赞！\n\n该商品在以下六款商品集赞中胜出。\n\n则将在下期首发登场"));
    ok &= screen.Shoot(runner, "msgbox_kind12.png");
    box.Close();
    view.remove(&box);
  }
  CSystemNotice::ClearAll();
  return ok ? 0 : 1;
}
