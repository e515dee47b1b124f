#pragma once
// COldGameFrameView: the classic view every frame dialog is built with. The game draws with
// its widget view, so this one stays empty.
#include "platform/frame/gameframeview.h"
#include "platform/frame/livemark.h"

class COldGameFrameView : public CGameFrameView {
 public:
  COldGameFrameView();
  ~COldGameFrameView() override;

  void ResetGameView() override;
  void RectifyGameView(int width, int height) override;
  void DrawGameView(gcn::Graphics* graphics, int width, int height) override;
  bool IsValid() const override;

 private:
  plat::LiveMark<COldGameFrameView> m_live{this};
};
