#include "client/views/myquickchatview.h"

#include "platform/toolkit/orvhgebutton.h"

CMyQuickChatWiew::CMyQuickChatWiew() = default;
CMyQuickChatWiew::~CMyQuickChatWiew() = default;

void CMyQuickChatWiew::InitResource() { CQuickChatWiew::InitResource(); }

void CMyQuickChatWiew::UpdateButtons() {
  if (m_pBtnPhrase) m_pBtnPhrase->setVisible(false);
}

void CMyQuickChatWiew::EnableSend(bool /*enable*/) {
  if (m_pBtnPhrase) m_pBtnPhrase->setEnabled(false);
}

void CMyQuickChatWiew::ResetPhrases() {}
