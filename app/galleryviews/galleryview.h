#pragma once
// The views gallery's main view: tiles (candidates and, to show the status strip, a sold one)
// drawn on request, the buy panel and the message box.
#include <guichan/actionevent.hpp>

#include "app/shots/tilehost.h"

namespace galleryviews {

class GalleryView : public shots::TileHost {
 public:
  // Loads the scene and places the message box.
  void InitResource();
  void SetDrawTiles(bool on) { m_drawTiles = on; }

  void OnCommand(int id) override;
  void action(const gcn::ActionEvent& e) override;

 protected:
  // The lot on sale is the panel's; the sold tile stays to show the status strip.
  bool ShowsTile(const CBSceneItem& item) const override {
    return m_drawTiles && item.state != GOODS_STATE_SELLING;
  }

 private:
  bool m_drawTiles = false;
};

}  // namespace galleryviews
