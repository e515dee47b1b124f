#pragma once
// A stand-in for the main view in the windows gallery: background, candidate tiles, the buy
// panel, the sales history and rule windows as children, and the description callout drawn
// over everything, in the main view's order.
#include <array>
#include <memory>

#include <guichan/graphics.hpp>

#include "client/views/goodsitem.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgewindow.h"

namespace gallery6 {

class WindowsHost : public OrvHgeWindow {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;

  WindowsHost();
  ~WindowsHost() override;
  // Background, tiles, buy panel, the two windows (hidden, 130 pixels left of centre) and the
  // description window.
  void InitResource();
  void draw(gcn::Graphics* g) override;

 private:
  void Place(gcn::Widget* window);

  std::array<CGoodsItem, kGoodsTileCount> m_tiles;
  std::unique_ptr<OrvHgeImage> m_background;
};

}  // namespace gallery6
