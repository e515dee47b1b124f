#include "platform/frame/gameframeview.h"

namespace {

int ClampChairs(int n) {
  if (n < 1) return 1;
  return n > CGameFrameView::kMaxChairs ? CGameFrameView::kMaxChairs : n;
}

}  // namespace

CGameFrameView::CGameFrameView(bool resetOnScene, int chairCount)
    : m_bResetOnScene(resetOnScene), m_nChairCount(ClampChairs(chairCount)) {}

CGameFrameView::~CGameFrameView() = default;
