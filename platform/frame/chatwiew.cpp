#include "platform/frame/chatwiew.h"

#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>

#include "platform/frame/frametopwindow.h"
#include "platform/frame/quickchatwiew.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgefont.h"

namespace {

const std::string kFontFace = plat::Utf8ToGbk("宋体");
constexpr int kFontSize = 12;
constexpr int kTextX = 8;
constexpr int kTextTop = 6;
constexpr int kLineGap = 4;
const gcn::Color kPanelColor(40, 32, 24, 160);
const gcn::Color kEdgeColor(120, 96, 56, 200);
const gcn::Color kTextColor(240, 230, 200, 255);

}  // namespace

CChatWiew::CChatWiew() = default;

CChatWiew::~CChatWiew() = default;

void CChatWiew::InitResource() {
  setSize(kWidth, kHeight);
  setPosition(kMarginLeft, plat::kGameAreaHeight - kHeight - kMarginBottom);
  m_pQuickChat.reset(CreateQuickChatView());
  if (!m_pQuickChat) return;
  m_pQuickChat->InitResource();
  m_pQuickChat->setSize(kWidth, CQuickChatWiew::kHeight);
  m_pQuickChat->SetSayHandler([this](const std::string& line) { AddChatLine(line); });
  add(m_pQuickChat.get(), 0, kHeight - CQuickChatWiew::kHeight);
  m_pQuickChat->UpdateButtons();
}

CQuickChatWiew* CChatWiew::CreateQuickChatView() { return new CQuickChatWiew(); }

void CChatWiew::AddChatLine(const std::string& lineGbk) {
  m_lines.push_back(lineGbk);
  while (m_lines.size() > kMaxLines) m_lines.pop_front();
}

void CChatWiew::draw(gcn::Graphics* g) {
  if (g == nullptr) return;
  g->setColor(kPanelColor);
  const gcn::Rectangle panel(0, 0, getWidth(), getHeight());
  g->fillRectangle(panel);
  g->setColor(kEdgeColor);
  g->drawRectangle(panel);
  if (!m_font) m_font = std::make_unique<OrvHgeFont>(kFontFace.c_str(), kFontSize, 0, 0, 1);
  m_font->SetColor(kTextColor);
  // Newest line at the bottom of the text area; older ones above as far as they fit.
  const int lineHeight = m_font->getHeight() + kLineGap;
  const int textBottom = getHeight() - (m_pQuickChat ? CQuickChatWiew::kHeight : 0);
  int y = textBottom - lineHeight;
  for (auto it = m_lines.rbegin(); it != m_lines.rend() && y >= kTextTop; ++it, y -= lineHeight)
    m_font->drawString(g, *it, kTextX, y, OrvHgeFont::kAlignLeft);
  OrvHgeContainer::draw(g);
}
