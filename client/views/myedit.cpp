#include "client/views/myedit.h"

#include "platform/time/clock.h"

void CMyEdit::drawCaret(gcn::Graphics* g, int x) {
  const std::uint64_t now = plat::GetClock().NowMs();
  // Unsigned on purpose: a clock set back gives a huge gap, which restarts the cycle.
  const std::uint64_t elapsed = now - m_blinkStartMs;
  if (elapsed > kBlinkCycleMs) m_blinkStartMs = now;
  if (elapsed > kBlinkOnMs || g == nullptr) return;
  g->setColor(gcn::Color(0, 0, 0, 255));
  g->drawLine(x, 0, x, g->getCurrentClipArea().height);
}
