// velmora-gallery-windows: draws the sales history, the message view, the description
// callouts and the rule window over the game screen, headless, one PNG per screen.
//   velmora-gallery-windows [--assets DIR] [--out DIR]
#include <cstdint>
#include <string>
#include <vector>

#include "app/gallerywindows/windowshost.h"
#include "app/shots/gallerydialog.h"
#include "app/shots/headlessscreen.h"
#include "app/shots/shotgoods.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/messageview.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "platform/frame/globalunits.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgewindow.h"
#include "platform/toolkit/runtime.h"

namespace {

using shots::kShotGoods;
constexpr std::uint32_t kLotTile = 6;

// Six candidates on tiles 0 to 5 and the lot on sale on tile 6; slot = tile + 1.
void FillStore() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  for (std::uint32_t tile = 0; tile < 7; ++tile) {
    const std::uint32_t state = tile == kLotTile ? GOODS_STATE_SELLING : GOODS_STATE_CANDIDATE;
    CMD_GF_VELMORA_GOODS_ITEM r = shots::MakeGoodsRecord(kShotGoods[tile], tile + 1, tile, state);
    r.goodsNumber = 20 + tile;
    r.likeCount = 3 * tile + 4;
    if (tile == kLotTile) {
      shots::SetSaleTerms(r);
      r.soldShares = 37;
      r.heldShares = 5;
    }
    list.push_back(r);
  }
  shots::StoreGoods(list);
}

// Eleven closed lots, newest first.
std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> HistoryRows() {
  static const char* const kWinners[] = {"幸运星", "夺宝王", "小明", "阿花", "铁柱", "月光"};
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> rows;
  for (std::uint32_t i = 0; i < 11; ++i) {
    CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP r{};
    r.goodsNumber = 19 - i;
    SetFieldText(r.goodsName, plat::Utf8ToGbk(kShotGoods[i % 7].nameUtf8));
    SetFieldText(r.winnerNickname, plat::Utf8ToGbk(kWinners[i % 6]));
    r.winnerShares = 5 + 7 * i;
    SetFieldText(r.drawTime, "12-09 " + std::to_string(10 + i / 2) + (i % 2 ? ":30" : ":00"));
    rows.push_back(r);
  }
  return rows;
}

// Blocks as the dialog composes them: time, text, a one-space separator.
void FillMessageView(MessageView& view) {
  // Enough winner blocks to need the scroll bar: the newest must still be in sight.
  for (int i = 0; i < 9; ++i) {
    view.AddLuckyUserLine(plat::Utf8ToUtf16("2026-12-09 1" + std::to_string(i) + ":00"));
    view.AddLuckyUserLine(plat::Utf8ToUtf16(std::string("玩家幸运星购买") + std::to_string(14 + i) + "号商品 " +
                                            kShotGoods[i % 7].nameUtf8 + " 30份，并一举中奖，恭喜！"));
    view.AddLuckyUserLine(u" ");
  }
  for (int i = 0; i < 4; ++i) {
    view.AddMyBuyLine(plat::Utf8ToUtf16("2026-12-09 11:0" + std::to_string(i)));
    view.AddMyBuyLine(plat::Utf8ToUtf16("购买价值" + std::to_string(kShotGoods[i + 2].value) + "元的 " +
                                        kShotGoods[i + 2].nameUtf8 + " " + std::to_string(3 + i) + "份"));
    view.AddMyBuyLine(u" ");
  }
}

}  // namespace

int main(int argc, char** argv) {
  shots::HeadlessScreen screen("gallery-windows");
  if (!screen.Open(argc, argv)) return 1;
  bool ok = true;
  {
    plat::Runtime runtime;  // the toolkit state a frame would own; first in, last out
    shots::GalleryDialog dialog;
    OrvHgeWindow* top = CGlobalUnits::GetTopWindow();
    gallerywindows::WindowsHost host;
    top->add(&host, 0, 0);
    host.InitResource();
    MessageView messages;
    messages.Create();
    plat::GuiRunner runner(&screen.Device());
    runner.SetTop(top);
    FillStore();
    GetBuyPanel().ShowControls(true);
    GetBuyPanel().ResetToMinimum();

    CSellRecord& history = GetSellRecord();
    const auto rows = HistoryRows();
    history.SetRecords(rows.data(), static_cast<std::uint16_t>(rows.size() * sizeof(rows[0])));
    history.setVisible(true);
    ok &= screen.Shoot(runner, "history_page1.png");
    history.OnCommand(CSellRecord::kNextButtonId);
    ok &= screen.Shoot(runner, "history_page2.png");
    history.setVisible(false);

    FillMessageView(messages);
    ok &= screen.Shoot(runner, "messageview_mybuy.png");
    messages.OnCommand(MessageView::kLuckyUserTab);
    ok &= screen.Shoot(runner, "messageview_lucky.png");

    CGoodsDescription& description = GetGoodsDescription();
    description.Show(0, 0, false);
    ok &= screen.Shoot(runner, "callout_tile0.png");
    description.Show(4, 4, false);
    ok &= screen.Shoot(runner, "callout_tile4.png");
    description.Show(kLotTile, kLotTile, true);
    ok &= screen.Shoot(runner, "callout_lot.png");
    description.Show(7, 7, false);

    GetGameRule().setVisible(true);
    ok &= screen.Shoot(runner, "rule.png");
    GetGameRule().setVisible(false);
    top->remove(&host);
  }
  CSystemNotice::ClearAll();
  return ok ? 0 : 1;
}
