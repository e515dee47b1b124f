#include "app/shots/tilehost.h"

#include "app/shots/headlessscreen.h"
#include "client/views/buypanel.h"
#include "platform/toolkit/orvhgegraphics.h"

namespace shots {
namespace {

// The main view's tile anchors; each tile stands 20 pixels left of its anchor.
constexpr int kAnchors[kGoodsTileCount][2] = {{80, 80}, {80, 280}, {80, 480}, {820, 80}, {820, 280}, {820, 480}, {0, 0}};
constexpr int kTileShift = 20;
constexpr int kWindowShift = 130;

}  // namespace

TileHost::TileHost() { setSize(HeadlessScreen::kWidth, HeadlessScreen::kHeight); }

void TileHost::InitScene() {
  m_background = std::make_unique<OrvHgeImage>("Velmora/Image/Bg.jpg", false);
  CGoodsItem::InitSharedResource();
  for (std::size_t i = 0; i < kGoodsTileCount; ++i) m_tiles[i].SetPosition(kAnchors[i][0] - kTileShift, kAnchors[i][1]);
  GetBuyPanel().Create(this);
}

void TileHost::Place(gcn::Widget* window) {
  add(window);
  window->setPosition((getWidth() - window->getWidth()) / 2 - kWindowShift, (getHeight() - window->getHeight()) / 2);
  window->setVisible(false);
}

void TileHost::draw(gcn::Graphics* g) {
  if (OrvHgeGraphics* og = ToOrvGraphics(g)) og->drawImage(m_background.get(), 0, 0);
  CBuyData& data = GetBuyData();
  for (int slot = 0; slot < static_cast<int>(kGoodsTileCount); ++slot) {
    const CBSceneItem* item = data.GetItemBySlot(slot);
    if (item == nullptr || !ShowsTile(*item)) continue;
    if (CGoodsItem* tile = GoodsTileAt(m_tiles, item->tileIndex)) tile->Draw(g, item);
  }
  GetBuyPanel().Draw(g);
  OrvHgeWindow::draw(g);
}

}  // namespace shots
