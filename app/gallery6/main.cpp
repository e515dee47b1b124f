// velmora-gallery-windows: draws the sales history, the message view, the description
// callouts and the rule window over the game screen, headless, one PNG per screen.
//   velmora-gallery-windows [--assets DIR] [--out DIR]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/gallery6/windowshost.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/messageview.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/frame/globalunits.h"
#include "platform/render/renderdevice.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgewindow.h"

namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;

class EmptyClassicView : public CGameFrameView {
 public:
  EmptyClassicView() : CGameFrameView(true, 16) {}
  void ResetGameView() override {}
  void RectifyGameView(int, int) override {}
  void DrawGameView(gcn::Graphics*, int, int) override {}
  bool IsValid() const override { return true; }
};

// A player with coins for the buy panel.
class GalleryDialog : public CGameFrameDlg {
 public:
  GalleryDialog() : CGameFrameDlg(&m_view) {
    const tagUserData me = plat::MakeUserData(1, plat::Utf8ToGbk("画廊"), 500000, 0);
    SetMeUserData(&me);
    CGlobalUnits::s_pGameFrameDlg = this;
  }
  ~GalleryDialog() override { CGlobalUnits::s_pGameFrameDlg = nullptr; }
  bool OnGameMessage(std::uint16_t, const void*, std::uint16_t) override { return true; }
  bool OnGameScene(std::uint8_t, bool, const void*, std::uint16_t) override { return true; }

 private:
  EmptyClassicView m_view;
};

struct Goods {
  std::uint32_t id;
  const char* nameUtf8;
  std::uint32_t value;
  const char* picture;
};

constexpr Goods kGoods[] = {
    {1001, "金龙手表", 3888, "goods_01.png"},   {1002, "翡翠手镯", 5888, "goods_02.png"},
    {1003, "智能手机", 4999, "goods_03.png"},   {1004, "笔记本电脑", 6999, "goods_04.png"},
    {1005, "山地自行车", 2599, "goods_05.png"}, {1006, "电动滑板车", 1999, "goods_06.png"},
    {1007, "单反相机", 7999, "goods_07.png"},
};
constexpr std::uint32_t kLotTile = 6;

// Six candidates on tiles 0 to 5 and the lot on sale on tile 6; slot = tile + 1.
void FillStore() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  for (std::uint32_t tile = 0; tile < 7; ++tile) {
    const Goods& g = kGoods[tile];
    CMD_GF_VELMORA_GOODS_ITEM r{};
    r.goodsId = g.id;
    r.goodsNumber = 20 + tile;
    r.goodsValue = g.value;
    r.slot = tile + 1;
    r.tileIndex = tile;
    r.state = tile == kLotTile ? GOODS_STATE_SELLING : GOODS_STATE_CANDIDATE;
    r.likeCount = 3 * tile + 4;
    SetFieldText(r.goodsName, plat::Utf8ToGbk(g.nameUtf8));
    SetFieldText(r.pictureFile, g.picture);
    if (tile == kLotTile) {
      r.totalShares = 100;
      r.soldShares = 37;
      r.heldShares = 5;
      r.sharePrice = 10000;
      r.minPurchase = 30000;
      r.remainderThreshold = 20000;
      r.secondsLeft = 300;
    }
    list.push_back(r);
  }
  GetBuyData().SetTraceOutput(nullptr);
  GetBuyData().UpdateData(list.data(), static_cast<std::uint16_t>(list.size() * sizeof(list[0])));
}

// Eleven closed lots, newest first.
std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> HistoryRows() {
  static const char* const kWinners[] = {"幸运星", "夺宝王", "小明", "阿花", "铁柱", "月光"};
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> rows;
  for (std::uint32_t i = 0; i < 11; ++i) {
    CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP r{};
    r.goodsNumber = 19 - i;
    SetFieldText(r.goodsName, plat::Utf8ToGbk(kGoods[i % 7].nameUtf8));
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
                                            kGoods[i % 7].nameUtf8 + " 30份，并一举中奖，恭喜！"));
    view.AddLuckyUserLine(u" ");
  }
  for (int i = 0; i < 4; ++i) {
    view.AddMyBuyLine(plat::Utf8ToUtf16("2026-12-09 11:0" + std::to_string(i)));
    view.AddMyBuyLine(plat::Utf8ToUtf16("购买价值" + std::to_string(kGoods[i + 2].value) + "元的 " +
                                        kGoods[i + 2].nameUtf8 + " " + std::to_string(3 + i) + "份"));
    view.AddMyBuyLine(u" ");
  }
}

bool Shoot(plat::RenderDevice& device, plat::GuiRunner& runner, const std::filesystem::path& file) {
  // Two frames: the tiles create their like area on the first.
  for (int i = 0; i < 2; ++i) {
    runner.Logic();
    device.BeginFrame(kFrameSeconds);
    runner.Draw();
    device.EndFrame();
  }
  if (!device.SavePng(file.string())) {
    std::fprintf(stderr, "gallery-windows: cannot write %s\n", file.string().c_str());
    return false;
  }
  std::printf("gallery-windows: wrote %s\n", file.string().c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string assets = VELMORA_ASSET_DIR;
  std::filesystem::path out = "shots";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--assets") == 0) assets = argv[i + 1];
    else if (std::strcmp(argv[i], "--out") == 0) out = argv[i + 1];
  }
  plat::SetAssetRoot(assets);
  std::error_code ec;
  std::filesystem::create_directories(out, ec);

  auto device = plat::RenderDevice::CreateHeadless(gallery6::WindowsHost::kWidth, gallery6::WindowsHost::kHeight);
  if (!device) {
    std::fprintf(stderr, "gallery-windows: cannot make a headless renderer\n");
    return 1;
  }
  bool ok = true;
  {
    GalleryDialog dialog;
    OrvHgeWindow* top = CGlobalUnits::GetTopWindow();
    gallery6::WindowsHost host;
    top->add(&host, 0, 0);
    host.InitResource();
    MessageView messages;
    messages.Create();
    plat::GuiRunner runner(device.get());
    runner.SetTop(top);
    FillStore();
    GetBuyPanel().ShowControls(true);
    GetBuyPanel().ResetToMinimum();

    CSellRecord& history = GetSellRecord();
    const auto rows = HistoryRows();
    history.SetRecords(rows.data(), static_cast<std::uint16_t>(rows.size() * sizeof(rows[0])));
    history.setVisible(true);
    ok &= Shoot(*device, runner, out / "history_page1.png");
    history.OnCommand(CSellRecord::kNextButtonId);
    ok &= Shoot(*device, runner, out / "history_page2.png");
    history.setVisible(false);

    FillMessageView(messages);
    ok &= Shoot(*device, runner, out / "messageview_mybuy.png");
    messages.OnCommand(MessageView::kLuckyUserTab);
    ok &= Shoot(*device, runner, out / "messageview_lucky.png");

    CGoodsDescription& description = GetGoodsDescription();
    description.Show(0, 0, false);
    ok &= Shoot(*device, runner, out / "callout_tile0.png");
    description.Show(4, 4, false);
    ok &= Shoot(*device, runner, out / "callout_tile4.png");
    description.Show(kLotTile, kLotTile, true);
    ok &= Shoot(*device, runner, out / "callout_lot.png");
    description.Show(7, 7, false);

    GetGameRule().setVisible(true);
    ok &= Shoot(*device, runner, out / "rule.png");
    GetGameRule().setVisible(false);
    top->remove(&host);
  }
  CSystemNotice::ClearAll();
  return ok ? 0 : 1;
}
