#include "platform/frame/statusline.h"

#include <guichan/color.hpp>
#include <guichan/font.hpp>
#include <guichan/graphics.hpp>
#include <guichan/rectangle.hpp>

namespace plat {

namespace {

const gcn::Color kBandColor(0, 0, 0, 170);
const gcn::Color kEdgeColor(230, 190, 90, 255);
const gcn::Color kTextColor(255, 240, 200, 255);

}  // namespace

void StatusLine::Show(const std::string& textGbk, bool persistent, std::uint64_t nowMs,
                      std::uint64_t timeoutMs) {
  m_text = textGbk;
  m_persistent = persistent;
  m_expiresMs = nowMs + timeoutMs;
}

void StatusLine::Update(std::uint64_t nowMs) {
  if (!m_text.empty() && !m_persistent && nowMs >= m_expiresMs) m_text.clear();
}

void StatusLine::Draw(gcn::Graphics* graphics, gcn::Font* font, int screenWidth) const {
  if (graphics == nullptr || font == nullptr || m_text.empty()) return;
  const int w = font->getWidth(m_text) + 2 * kPadX;
  const int h = font->getHeight() + 2 * kPadY;
  const gcn::Rectangle band((screenWidth - w) / 2, kTop, w, h);
  graphics->setColor(kBandColor);
  graphics->fillRectangle(band);
  graphics->setColor(kEdgeColor);
  graphics->drawRectangle(band);
  graphics->setColor(kTextColor);
  font->drawString(graphics, m_text, band.x + kPadX, band.y + kPadY);
}

}  // namespace plat
