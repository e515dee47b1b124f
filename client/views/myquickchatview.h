#pragma once
// CMyQuickChatWiew: the game's quick-chat bar. The frame's bar with its phrase button taken
// away: the button is hidden when the buttons are laid out and disabled whenever the frame
// would enable sending; the phrases are never reset.
#include "platform/frame/quickchatwiew.h"

class CMyQuickChatWiew : public CQuickChatWiew {
 public:
  CMyQuickChatWiew();
  ~CMyQuickChatWiew() override;

  void InitResource() override;
  void UpdateButtons() override;
  void EnableSend(bool enable) override;
  void ResetPhrases() override;
};
