#pragma once
// A stand-in for the main view in the galleries: the background, the goods tiles at the main
// view's anchors, the buy panel, then the child windows, in the main view's order.
#include <array>
#include <cstddef>
#include <memory>

#include <guichan/graphics.hpp>
#include <guichan/widget.hpp>

#include "client/data/buydata.h"
#include "client/views/goodsitem.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgewindow.h"

namespace shots {

class TileHost : public OrvHgeWindow {
 public:
  TileHost();
  CGoodsItem& Tile(std::size_t i) { return m_tiles[i]; }
  void draw(gcn::Graphics* g) override;

 protected:
  // Loads the background and the tile resources, places the tiles and creates the buy panel.
  void InitScene();
  // Adds a child window hidden, centred 130 pixels left of the middle like the main view's.
  void Place(gcn::Widget* window);
  // Whether the tile of a listed record is drawn.
  virtual bool ShowsTile(const CBSceneItem& item) const = 0;

 private:
  std::array<CGoodsItem, kGoodsTileCount> m_tiles;
  std::unique_ptr<OrvHgeImage> m_background;
};

}  // namespace shots
