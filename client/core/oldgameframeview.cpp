#include "client/core/oldgameframeview.h"

namespace {
// The frame resets the classic view before each scene; the table has sixteen chairs.
constexpr bool kResetOnScene = true;
constexpr int kChairCount = 16;
}  // namespace

COldGameFrameView::COldGameFrameView() : CGameFrameView(kResetOnScene, kChairCount) {}

COldGameFrameView::~COldGameFrameView() = default;

void COldGameFrameView::ResetGameView() {}

void COldGameFrameView::RectifyGameView(int, int) {}

void COldGameFrameView::DrawGameView(gcn::Graphics*, int, int) {}

bool COldGameFrameView::IsValid() const { return plat::LiveMark<COldGameFrameView>::IsLive(this); }
