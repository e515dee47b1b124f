#include "app/gallery6/windowshost.h"

#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/sellrecord.h"
#include "platform/toolkit/orvhgegraphics.h"

namespace gallery6 {
namespace {

// The main view's tile anchors; each tile stands 20 pixels left of its anchor.
constexpr int kAnchors[kGoodsTileCount][2] = {{80, 80}, {80, 280}, {80, 480}, {820, 80}, {820, 280}, {820, 480}, {0, 0}};
constexpr int kTileShift = 20;
constexpr int kWindowShift = 130;

}  // namespace

WindowsHost::WindowsHost() { setSize(kWidth, kHeight); }

WindowsHost::~WindowsHost() {
  remove(&GetSellRecord());
  remove(&GetGameRule());
}

void WindowsHost::Place(gcn::Widget* window) {
  add(window);
  window->setPosition((getWidth() - window->getWidth()) / 2 - kWindowShift, (getHeight() - window->getHeight()) / 2);
  window->setVisible(false);
}

void WindowsHost::InitResource() {
  m_background = std::make_unique<OrvHgeImage>("Velmora/Image/Bg.jpg", false);
  CGoodsItem::InitSharedResource();
  for (std::size_t i = 0; i < kGoodsTileCount; ++i) m_tiles[i].SetPosition(kAnchors[i][0] - kTileShift, kAnchors[i][1]);
  GetBuyPanel().Create(this);
  GetGoodsDescription().InitResource();
  GetSellRecord().Create();
  Place(&GetSellRecord());
  GetGameRule().Create();
  Place(&GetGameRule());
}

void WindowsHost::draw(gcn::Graphics* g) {
  if (OrvHgeGraphics* og = ToOrvGraphics(g)) og->drawImage(m_background.get(), 0, 0);
  CBuyData& data = GetBuyData();
  for (int slot = 0; slot < static_cast<int>(kGoodsTileCount); ++slot) {
    const CBSceneItem* item = data.GetItemBySlot(slot);
    if (item == nullptr || item->state != GOODS_STATE_CANDIDATE) continue;
    if (CGoodsItem* tile = GoodsTileAt(m_tiles, item->tileIndex)) tile->Draw(g, item);
  }
  GetBuyPanel().Draw(g);
  OrvHgeWindow::draw(g);
  GetGoodsDescription().Draw(g);
}

}  // namespace gallery6
