#include "tests/client/views/storeviewfixture.h"

#include <utility>

#include "client/views/buypanel.h"
#include "platform/frame/globalunits.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"
#include "tests/common/goodslist.h"
#include "tests/common/testassetdir.h"

namespace storeviews {
namespace {

constexpr testutil::TestImage kImages[] = {
    {"Velmora/Image/GoodsItem/ItemBg.png", 140, 180, 0xFF604020},
    {"Velmora/Image/GoodsItem/TxtSellStatus.png", kStripW, kStripH, 0xFFC03030},
    {"Velmora/Image/GoodsItem/mrwt_btn_like.png", 4 * 54, 33, 0xFFE06080},
    {"Velmora/Image/GoodsItem/mrwt_bg_like.png", 80, 33, 0xFF402030},
    {"Velmora/Image/BuyDlg/GoodsNum.png", 20, 20, 0xFF808080},
    {"Velmora/Image/BuyDlg/EditBg.png", 70, 28, 0xFFFFFFFF},
    {"Velmora/Image/BuyDlg/Txt_Time.png", 20, 20, 0xFF808080},
    {"Velmora/Image/BuyDlg/TimeQuote.png", 20, 20, 0xFF808080},
    {"Velmora/Image/BuyDlg/TimeNum.png", 20, 20, 0xFF808080},
    {"Velmora/Image/BuyDlg/BtBuy.png", 160, 30, 0xFFD04020},
    {"Velmora/Image/BuyDlg/BtAdd.png", 160, 30, 0xFF20A040},
    {"Velmora/Image/BuyDlg/BtReduce.png", 160, 30, 0xFF2040A0},
    {"Velmora/Image/MessageBox/Bg.png", kBoxW, kBoxH, 0xFF302018},
    {"Velmora/Image/MessageBox/Success.png", 40, 40, 0xFF30C030},
    {"Velmora/Image/MessageBox/NextGoodsBg.png", 210, 30, 0xFF605040},
    {"Velmora/Image/MessageBox/BtRed.png", 4 * 128, 36, 0xFFC02020},
    {"RozeZizar/VelmoraGoods/goods_01.png", 290, 240, 0xFF4080C0},
    {"RozeZizar/VelmoraGoods/goods_02.png", 290, 240, 0xFFC08040},
};

// The images, written once per run into a folder removed at exit.
void InstallTestAssets() {
  static const testutil::TestAssetDir assets("storeviews-assets");
  static const bool written = assets.WriteImages(kImages);
  static_cast<void>(written);
  plat::SetAssetRoot(assets.Root());
}

}  // namespace

RecordingDialog::RecordingDialog() : CGameFrameDlg(&m_view) { CGlobalUnits::s_pGameFrameDlg = this; }

RecordingDialog::~RecordingDialog() {
  if (CGlobalUnits::s_pGameFrameDlg == this) CGlobalUnits::s_pGameFrameDlg = nullptr;
}

LRESULT RecordingDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  sent.push_back(Sent{message, wParam, lParam});
  return 0;
}

void RecordingDialog::SetCoins(std::uint32_t coins) {
  const tagUserData user = plat::MakeUserData(7, "tester", coins, 0);
  SetMeUserData(&user);
}

PanelHostView::PanelHostView(CBuyPanel* panel) : m_panel(panel) { setSize(1280, 720); }

void PanelHostView::OnCommand(int id) {
  if (m_panel) m_panel->OnCommand(id);
}

void PanelHostView::action(const gcn::ActionEvent& e) {
  if (m_panel) m_panel->OnEditAction(e);
}

CMD_GF_VELMORA_GOODS_ITEM MakeLot(std::uint32_t goodsId, std::uint32_t total, std::uint32_t sold,
                                  std::uint32_t price, std::uint32_t minPurchase, std::uint32_t threshold) {
  CMD_GF_VELMORA_GOODS_ITEM g = MakeGoods(goodsId).State(GOODS_STATE_SELLING).Value(3888)
      .NameUtf8("金龙手表").Picture("goods_01.png");
  g.totalShares = total;
  g.soldShares = sold;
  g.sharePrice = price;
  g.minPurchase = minPurchase;
  g.remainderThreshold = threshold;
  return g;
}

void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records) {
  GetBuyData().ClearItems();
  testutil::SetGoodsList(std::move(records));
}

Log Find(const Log& log, Kind kind, const std::string& what) {
  if (kind == Kind::Image) return testutil::Images(log, what);
  Log out;
  for (const plat::DrawRecord& r : testutil::OfKind(log, kind)) {
    if (r.what == what) out.push_back(r);
  }
  return out;
}

std::vector<std::string> Texts(const Log& log) {
  std::vector<std::string> out;
  for (const plat::DrawRecord& r : testutil::OfKind(log, Kind::Text)) out.push_back(r.what);
  return out;
}

void ViewTest::SetUp() {
  InstallTestAssets();
  DrawTest::SetUp();
  if (HasFatalFailure()) return;
  m_runner = std::make_unique<plat::GuiRunner>(m_device.get());
}

void ViewTest::TearDown() {
  m_runner.reset();
  DrawTest::TearDown();
  GetBuyData().ClearItems();
}

void ViewTest::ClickOn(const gcn::Widget* w) {
  int x = 0, y = 0;
  w->getAbsolutePosition(x, y);
  m_runner->Input().InjectClick(x + w->getWidth() / 2, y + w->getHeight() / 2);
  m_runner->Logic();
}

}  // namespace storeviews
