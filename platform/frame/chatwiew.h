#pragma once
// The frame's chat panel in the bottom-left corner: a list of recent lines (the frame's notices
// and the player's quick phrases) above a quick-chat bar. The frame makes it through the
// dialog's factory and calls InitResource once.
#include <deque>
#include <memory>
#include <string>

#include "platform/toolkit/orvhgecontainer.h"

class CQuickChatWiew;
class OrvHgeFont;

class CChatWiew : public OrvHgeContainer {
 public:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 200;
  static constexpr int kMarginLeft = 10;
  static constexpr int kMarginBottom = 10;
  static constexpr std::size_t kMaxLines = 50;

  CChatWiew();
  ~CChatWiew() override;

  // Panel, lines, then the children (the quick-chat bar).
  void draw(gcn::Graphics* g) override;
  // Sizes and places the panel and builds the quick-chat bar through CreateQuickChatView.
  virtual void InitResource();
  // The quick-chat bar, made with new; the chat view owns it. Null means no bar.
  virtual CQuickChatWiew* CreateQuickChatView();
  // Appends one GBK line; the oldest goes beyond kMaxLines.
  virtual void AddChatLine(const std::string& lineGbk);

  const std::deque<std::string>& Lines() const { return m_lines; }
  CQuickChatWiew* QuickChat() const { return m_pQuickChat.get(); }

 private:
  std::unique_ptr<CQuickChatWiew> m_pQuickChat;
  std::unique_ptr<OrvHgeFont> m_font;
  std::deque<std::string> m_lines;
};
