#pragma once
// The classic game view that every dialog is built with. Games that draw with widgets keep an
// empty one; the frame still resizes it, resets it on each scene (when asked to) and gives it a
// drawing call before the widget view.
#include "platform/frame/igameframeview.h"

namespace gcn {
class Graphics;
}

class CGameFrameView : public IGameFrameView {
 public:
  // resetOnScene: the frame calls ResetGameView before every scene it delivers.
  // chairCount: seats at the table (1..kMaxChairs); chair ids the frame reports are below it.
  CGameFrameView(bool resetOnScene, int chairCount);
  ~CGameFrameView() override;
  CGameFrameView(const CGameFrameView&) = delete;
  CGameFrameView& operator=(const CGameFrameView&) = delete;

  static constexpr int kMaxChairs = 64;

  virtual void ResetGameView() = 0;
  virtual void RectifyGameView(int width, int height) = 0;
  virtual void DrawGameView(gcn::Graphics* graphics, int width, int height) = 0;

  bool ResetsOnScene() const { return m_bResetOnScene; }
  int GetChairCount() const { return m_nChairCount; }

 private:
  bool m_bResetOnScene;
  int m_nChairCount;
};
