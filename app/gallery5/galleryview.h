#pragma once
// A stand-in for the main view in the views gallery: background, tiles (candidates and, to show
// the status strip, a sold one), the buy panel and the child windows, in the main view's order.
#include <array>
#include <memory>

#include <guichan/actionevent.hpp>
#include <guichan/graphics.hpp>

#include "client/views/goodsitem.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgewindow.h"

namespace gallery5 {

class GalleryView : public OrvHgeWindow {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;

  GalleryView();
  // Loads the background, the tile resources and places the tiles, the panel and the box.
  void InitResource();
  void SetDrawTiles(bool on) { m_drawTiles = on; }
  CGoodsItem& Tile(std::size_t i) { return m_tiles[i]; }

  void draw(gcn::Graphics* g) override;
  void OnCommand(int id) override;
  void action(const gcn::ActionEvent& e) override;

 private:
  std::array<CGoodsItem, kGoodsTileCount> m_tiles;
  std::unique_ptr<OrvHgeImage> m_background;
  bool m_drawTiles = false;
};

}  // namespace gallery5
