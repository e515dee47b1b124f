#pragma once
// CMyChatView: the game's stand-in for the frame's chat panel. It keeps the frame's chat
// machinery (the frame makes it through the dialog's factory and owns it) but stays off the
// game screen: it hides itself once set up, draws only its children, ignores chat lines and
// builds the game's quick-chat bar (CMyQuickChatWiew).
#include <string>

#include <guichan/graphics.hpp>

#include "platform/frame/chatwiew.h"

class CMyChatView : public CChatWiew {
 public:
  CMyChatView();
  ~CMyChatView() override;

  void draw(gcn::Graphics* g) override;
  void InitResource() override;
  CQuickChatWiew* CreateQuickChatView() override;
  void AddChatLine(const std::string& lineGbk) override;
};
