#include "app/gallery5/galleryview.h"

#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/msgbox.h"
#include "platform/toolkit/orvhgegraphics.h"

namespace gallery5 {
namespace {

// The main view's tile anchors, each tile 20 pixels left of its anchor.
constexpr int kAnchors[kGoodsTileCount][2] = {{80, 80}, {80, 280}, {80, 480}, {820, 80}, {820, 280}, {820, 480}, {0, 0}};
constexpr int kTileShift = 20;
constexpr int kBoxShift = 130;

}  // namespace

GalleryView::GalleryView() { setSize(kWidth, kHeight); }

void GalleryView::InitResource() {
  m_background = std::make_unique<OrvHgeImage>("Velmora/Image/Bg.jpg", false);
  CGoodsItem::InitSharedResource();
  for (std::size_t i = 0; i < kGoodsTileCount; ++i) m_tiles[i].SetPosition(kAnchors[i][0] - kTileShift, kAnchors[i][1]);
  GetBuyPanel().Create(this);
  CMsgBox& box = GetMsgBox();
  box.Create();
  add(&box);
  box.setPosition((getWidth() - box.getWidth()) / 2 - kBoxShift, (getHeight() - box.getHeight()) / 2);
  box.setVisible(false);
}

void GalleryView::draw(gcn::Graphics* g) {
  if (OrvHgeGraphics* og = ToOrvGraphics(g)) og->drawImage(m_background.get(), 0, 0);
  if (m_drawTiles) {
    CBuyData& data = GetBuyData();
    for (int slot = 0; slot < static_cast<int>(kGoodsTileCount); ++slot) {
      const CBSceneItem* item = data.GetItemBySlot(slot);
      // The lot on sale is the panel's; the sold tile stays to show the status strip.
      if (item == nullptr || item->state == GOODS_STATE_SELLING) continue;
      if (CGoodsItem* tile = GoodsTileAt(m_tiles, item->tileIndex)) tile->Draw(g, item);
    }
  }
  GetBuyPanel().Draw(g);
  OrvHgeWindow::draw(g);
}

void GalleryView::OnCommand(int id) { GetBuyPanel().OnCommand(id); }

void GalleryView::action(const gcn::ActionEvent& e) { GetBuyPanel().OnEditAction(e); }

}  // namespace gallery5
