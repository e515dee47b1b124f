#include "platform/frame/quickchatwiew.h"

#include <array>

#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"

namespace {

const std::array<std::string, 4> kPhrases = {
    plat::Utf8ToGbk("大家好！"), plat::Utf8ToGbk("祝大家好运！"),
    plat::Utf8ToGbk("这件商品真不错。"), plat::Utf8ToGbk("恭喜恭喜！")};

}  // namespace

CQuickChatWiew::CQuickChatWiew() : m_caption(plat::Utf8ToGbk("快捷语")) {}

CQuickChatWiew::~CQuickChatWiew() = default;

void CQuickChatWiew::InitResource() {
  if (m_pBtnPhrase) return;
  m_pBtnPhrase =
      plat::FrameButtonSink::MakeButton(this, kPhraseButtonId, kButtonX, kButtonY, &m_caption);
  m_pBtnPhrase->SetDrawSink(this);
}

void CQuickChatWiew::UpdateButtons() {
  if (m_pBtnPhrase) m_pBtnPhrase->setVisible(true);
}

void CQuickChatWiew::EnableSend(bool enable) {
  if (m_pBtnPhrase) m_pBtnPhrase->setEnabled(enable);
}

void CQuickChatWiew::ResetPhrases() { m_nextPhrase = 0; }

bool CQuickChatWiew::DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) {
  return m_caption.DrawButtonCaption(g, btn);
}

void CQuickChatWiew::OnCommand(int id) {
  OrvHgeContainer::OnCommand(id);
  if (id != kPhraseButtonId) return;
  if (m_say) m_say(kPhrases[m_nextPhrase]);
  m_nextPhrase = (m_nextPhrase + 1) % kPhrases.size();
}
