#include "tests/views5/viewfixture.h"

#include <cstdlib>
#include <filesystem>

#include <SDL.h>
#include <SDL_image.h>

#include "client/views/buypanel.h"
#include "platform/frame/globalunits.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"

namespace views5 {
namespace {

struct ImageSpec {
  const char* path;
  int w, h;
  std::uint32_t argb;
};

constexpr ImageSpec kImages[] = {
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

bool WritePng(const std::filesystem::path& file, int w, int h, std::uint32_t argb) {
  std::filesystem::create_directories(file.parent_path());
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (s == nullptr) return false;
  SDL_FillRect(s, nullptr, argb);
  const bool ok = IMG_SavePNG(s, file.string().c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

// The images, written once per run into a folder removed at exit.
struct TestAssets {
  std::string root;
  TestAssets() {
    std::string pattern = (std::filesystem::temp_directory_path() / "views5-assets-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    root = pattern;
    for (const ImageSpec& image : kImages) WritePng(std::filesystem::path(root) / image.path, image.w, image.h, image.argb);
  }
  ~TestAssets() {
    std::error_code ec;
    if (!root.empty()) std::filesystem::remove_all(root, ec);
  }
};

void InstallTestAssets() {
  static TestAssets assets;
  plat::SetAssetRoot(assets.root);
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

CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t goodsId, std::uint32_t state, const std::string& nameUtf8,
                                    const std::string& picture) {
  CMD_GF_VELMORA_GOODS_ITEM g{};
  g.goodsId = goodsId;
  g.goodsNumber = goodsId % 100;
  g.goodsValue = 3888;
  g.state = state;
  g.slot = 1;
  SetFieldText(g.goodsName, plat::Utf8ToGbk(nameUtf8));
  SetFieldText(g.pictureFile, picture);
  return g;
}

CMD_GF_VELMORA_GOODS_ITEM MakeLot(std::uint32_t goodsId, std::uint32_t total, std::uint32_t sold,
                                  std::uint32_t price, std::uint32_t minPurchase, std::uint32_t threshold) {
  CMD_GF_VELMORA_GOODS_ITEM g = MakeGoods(goodsId, GOODS_STATE_SELLING, "金龙手表", "goods_01.png");
  g.totalShares = total;
  g.soldShares = sold;
  g.sharePrice = price;
  g.minPurchase = minPurchase;
  g.remainderThreshold = threshold;
  return g;
}

void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records) {
  CBuyData& data = GetBuyData();
  data.SetTraceOutput(nullptr);
  data.ClearItems();
  for (std::size_t i = 0; i < records.size(); ++i) records[i].slot = static_cast<std::uint32_t>(i + 1);
  data.UpdateData(records.data(), static_cast<std::uint16_t>(records.size() * sizeof(records[0])));
}

Log Find(const Log& log, Kind kind, const std::string& what) {
  Log out;
  for (const plat::DrawRecord& r : log) {
    const bool match = kind == Kind::Image ? r.what.size() >= what.size() &&
                                                 r.what.compare(r.what.size() - what.size(), what.size(), what) == 0
                                           : r.what == what;
    if (r.kind == kind && match) out.push_back(r);
  }
  return out;
}

std::vector<std::string> Texts(const Log& log) {
  std::vector<std::string> out;
  for (const plat::DrawRecord& r : log) {
    if (r.kind == plat::DrawRecord::Text) out.push_back(r.what);
  }
  return out;
}

bool SameColor(const gcn::Color& a, const gcn::Color& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

void ViewTest::SetUp() {
  InstallTestAssets();
  m_device = plat::RenderDevice::CreateHeadless(1280, 720);
  ASSERT_NE(m_device, nullptr);
  m_graphics = std::make_unique<OrvHgeGraphics>(m_device.get());
  m_runner = std::make_unique<plat::GuiRunner>(m_device.get());
}

void ViewTest::TearDown() {
  m_runner.reset();
  m_graphics.reset();
  m_device.reset();
  GetBuyData().ClearItems();
}

void ViewTest::ClickOn(const gcn::Widget* w) {
  int x = 0, y = 0;
  w->getAbsolutePosition(x, y);
  m_runner->Input().InjectClick(x + w->getWidth() / 2, y + w->getHeight() / 2);
  m_runner->Logic();
}

}  // namespace views5
