#include "client/core/oldgameframeview.h"

namespace {
// The frame resets the classic view before each scene; the table has sixteen chairs.
constexpr bool kResetOnScene = true;
constexpr int kChairCount = 16;
}  // namespace

COldGameFrameView::COldGameFrameView() : CGameFrameView(kResetOnScene, kChairCount) {}

COldGameFrameView::~COldGameFrameView() { m_liveMark = 0; }

void COldGameFrameView::ResetGameView() {}

void COldGameFrameView::RectifyGameView(int, int) {}

void COldGameFrameView::DrawGameView(gcn::Graphics*, int, int) {}

bool COldGameFrameView::IsValid() const { return m_liveMark == kLiveMark; }
