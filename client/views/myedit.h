#pragma once
// CMyEdit: the buy panel's share field. Only the caret differs from OrvHgeEdit: it blinks
// from the system tick (plat::GetClock()), shown for the first half of each cycle.
#include <cstdint>

#include <guichan/graphics.hpp>

#include "platform/toolkit/orvhgeedit.h"

class CMyEdit : public OrvHgeEdit {
 public:
  static constexpr std::uint64_t kBlinkCycleMs = 1000;
  static constexpr std::uint64_t kBlinkOnMs = 500;

  void drawCaret(gcn::Graphics* g, int x) override;

 private:
  std::uint64_t m_blinkStartMs = 0;
};
