#pragma once
// The running dialog of a gallery while it lives: a player with coins for the buy panel;
// game messages and scenes are accepted and dropped.
#include <cstdint>

#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"

namespace shots {

class GalleryDialog : public CGameFrameDlg {
 public:
  GalleryDialog();
  ~GalleryDialog() override;
  bool OnGameMessage(std::uint16_t, const void*, std::uint16_t) override { return true; }
  bool OnGameScene(std::uint8_t, bool, const void*, std::uint16_t) override { return true; }

 private:
  // The galleries draw their own main view; the classic one stays empty.
  class EmptyClassicView : public CGameFrameView {
   public:
    EmptyClassicView() : CGameFrameView(true, 16) {}
    void ResetGameView() override {}
    void RectifyGameView(int, int) override {}
    void DrawGameView(gcn::Graphics*, int, int) override {}
    bool IsValid() const override { return true; }
  };

  EmptyClassicView m_view;
};

}  // namespace shots
