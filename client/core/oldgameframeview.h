#pragma once
// COldGameFrameView: the classic view every frame dialog is built with. The game draws with
// its widget view, so this one stays empty.
#include "platform/frame/gameframeview.h"

class COldGameFrameView : public CGameFrameView {
 public:
  COldGameFrameView();
  ~COldGameFrameView() override;

  void ResetGameView() override;
  void RectifyGameView(int width, int height) override;
  void DrawGameView(gcn::Graphics* graphics, int width, int height) override;
  bool IsValid() const override;

 private:
  static constexpr unsigned kLiveMark = 0x4F4C4456;  // cleared by the destructor
  unsigned m_liveMark = kLiveMark;
};
