// velmora-gallery-views: draws the buy panel, the candidate tiles and the message box
// headless and writes one PNG per screen.
//   velmora-gallery-views [--assets DIR] [--out DIR]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/gallery5/galleryview.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/msgbox.h"
#include "client/views/systemnotice.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/frame/globalunits.h"
#include "platform/render/renderdevice.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"

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

// Gives the panel a player with coins; requests are only counted.
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

constexpr Goods kCatalogue[] = {
    {1001, "金龙手表", 3888, "goods_01.png"},   {1002, "翡翠手镯", 5888, "goods_02.png"},
    {1003, "智能手机", 4999, "goods_03.png"},   {1004, "笔记本电脑", 6999, "goods_04.png"},
    {1005, "山地自行车", 2599, "goods_05.png"}, {1006, "电动滑板车", 1999, "goods_06.png"},
    {1007, "单反相机", 7999, "goods_07.png"},
};

CMD_GF_VELMORA_GOODS_ITEM MakeItem(const Goods& g, std::uint32_t slot, std::uint32_t tile, std::uint32_t state) {
  CMD_GF_VELMORA_GOODS_ITEM r{};
  r.goodsId = g.id;
  r.goodsNumber = slot;
  r.goodsValue = g.value;
  r.slot = slot;
  r.state = state;
  r.tileIndex = tile;
  r.likeCount = 3 * slot + 4;
  SetFieldText(r.goodsName, plat::Utf8ToGbk(g.nameUtf8));
  SetFieldText(r.pictureFile, g.picture);
  return r;
}

// The lot on sale in slot 1, six tiles in slots 2 to 7; the tile in slot 7 is shown sold.
void FillStore() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  CMD_GF_VELMORA_GOODS_ITEM lot = MakeItem(kCatalogue[0], 1, 6, GOODS_STATE_SELLING);
  lot.totalShares = 100;
  lot.soldShares = 37;
  lot.heldShares = 5;
  lot.sharePrice = 10000;
  lot.minPurchase = 30000;
  lot.remainderThreshold = 20000;
  lot.secondsLeft = 300;
  list.push_back(lot);
  for (std::uint32_t i = 1; i < 7; ++i) {
    list.push_back(MakeItem(kCatalogue[i], i + 1, i - 1, i == 6 ? GOODS_STATE_SOLD : GOODS_STATE_CANDIDATE));
  }
  GetBuyData().SetTraceOutput(nullptr);
  GetBuyData().UpdateData(list.data(), static_cast<std::uint16_t>(list.size() * sizeof(list[0])));
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
    std::fprintf(stderr, "gallery-views: cannot write %s\n", file.string().c_str());
    return false;
  }
  std::printf("gallery-views: wrote %s\n", file.string().c_str());
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

  auto device = plat::RenderDevice::CreateHeadless(gallery5::GalleryView::kWidth, gallery5::GalleryView::kHeight);
  if (!device) {
    std::fprintf(stderr, "gallery-views: cannot make a headless renderer\n");
    return 1;
  }
  bool ok = true;
  {
    GalleryDialog dialog;
    gallery5::GalleryView view;
    plat::GuiRunner runner(device.get());
    runner.SetTop(&view);
    view.InitResource();
    FillStore();
    CBuyPanel& panel = GetBuyPanel();
    panel.ShowControls(true);
    panel.ResetToMinimum();

    ok &= Shoot(*device, runner, out / "buypanel.png");

    view.SetDrawTiles(true);
    gallery5::GalleryView& v = view;
    // Hover the like button of tile 1, like tile 3.
    v.Tile(1).OnMouseMove(v.Tile(1).GetX() + 20, v.Tile(1).GetY() + 155);
    v.Tile(3).SetLiked(true);
    ok &= Shoot(*device, runner, out / "tiles.png");

    CMsgBox& box = GetMsgBox();
    box.ShowKind(MSGBOX_SHARES_SHORT);
    ok &= Shoot(*device, runner, out / "msgbox_kind1.png");
    box.Close();
    box.SetBoughtCount(3);
    box.ShowKind(MSGBOX_BUY_SUCCESS);
    ok &= Shoot(*device, runner, out / "msgbox_kind2.png");
    box.Close();
    box.SetGoodsNumber(12);
    box.SetGoodsName(plat::Utf8ToGbk("金龙手表"));
    box.SetWinnerName(plat::Utf8ToGbk("幸运星"));
    box.SetNextGoodsNumber(13);
    box.ShowKind(MSGBOX_OTHER_WON);
    ok &= Shoot(*device, runner, out / "msgbox_kind3.png");
    box.Close();
    box.ShowKind(MSGBOX_LIKED);
    box.SetCustomText(plat::Utf8ToGbk(
        "您已为\"智能手机\"点赞！\n\n该商品在以下六款商品集赞中胜出。\n\n则将在下期首发登场"));
    ok &= Shoot(*device, runner, out / "msgbox_kind12.png");
    box.Close();
    view.remove(&box);
  }
  CSystemNotice::ClearAll();
  return ok ? 0 : 1;
}
