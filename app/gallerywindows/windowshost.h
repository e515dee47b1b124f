#pragma once
// The windows gallery's main view: candidate tiles, the buy panel, the sales history and rule
// windows as children, and the description callout drawn over everything.
#include <guichan/graphics.hpp>

#include "app/shots/tilehost.h"

namespace gallerywindows {

class WindowsHost : public shots::TileHost {
 public:
  ~WindowsHost() override;
  // The scene, the two windows (hidden) and the description window.
  void InitResource();
  void draw(gcn::Graphics* g) override;

 protected:
  bool ShowsTile(const CBSceneItem& item) const override { return item.state == GOODS_STATE_CANDIDATE; }
};

}  // namespace gallerywindows
