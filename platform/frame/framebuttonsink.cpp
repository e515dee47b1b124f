#include "platform/frame/framebuttonsink.h"

#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>

#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgeimage.h"

namespace plat {

namespace {

const std::string kFontFace = Utf8ToGbk("宋");
constexpr int kFontSize = 12;
const gcn::Color kBodyColor(70, 52, 30, 230);
const gcn::Color kBodyHoverColor(110, 82, 40, 240);
const gcn::Color kEdgeColor(230, 190, 90, 255);
const gcn::Color kCaptionColor(255, 240, 200, 255);
const gcn::Color kDisabledCaptionColor(150, 140, 120, 255);

}  // namespace

FrameButtonSink::FrameButtonSink(std::string captionGbk) : m_caption(std::move(captionGbk)) {}

FrameButtonSink::~FrameButtonSink() = default;

std::unique_ptr<OrvHgeButton> FrameButtonSink::MakeButton(OrvHgeWindow* parent, int id, int x,
                                                          int y, FrameButtonSink* sink) {
  auto button = std::make_unique<OrvHgeButton>(parent, id, kSkinPath, x, y, false);
  if (button->getWidth() <= 0 || button->getHeight() <= 0) button->setSize(kWidth, kHeight);
  button->SetDrawSink(sink);
  return button;
}

bool FrameButtonSink::DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) {
  if (g == nullptr || btn == nullptr) return false;
  const bool skinned = btn->Image() != nullptr && btn->Image()->IsValid();
  if (!skinned) {
    const gcn::Rectangle body(0, 0, btn->getWidth(), btn->getHeight());
    g->setColor(btn->CurrentFrame() == OrvHgeButton::kFrameHover ? kBodyHoverColor : kBodyColor);
    g->fillRectangle(body);
    g->setColor(kEdgeColor);
    g->drawRectangle(body);
  }
  if (!m_font) m_font = std::make_unique<OrvHgeFont>(kFontFace.c_str(), kFontSize, 0, 0, 1);
  m_font->SetColor(btn->isEnabled() ? kCaptionColor : kDisabledCaptionColor);
  m_font->drawString(g, m_caption, btn->getWidth() / 2, (btn->getHeight() - m_font->getHeight()) / 2,
                     OrvHgeFont::kAlignCenter);
  return true;
}

}  // namespace plat
