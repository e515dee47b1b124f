#pragma once
// The quick-chat bar of the chat panel: one button that says the next canned phrase.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/frame/framebuttonsink.h"
#include "platform/toolkit/ibtndrawsink.h"
#include "platform/toolkit/orvhgecontainer.h"

class OrvHgeButton;

class CQuickChatWiew : public OrvHgeContainer, public IBtnDrawSink {
 public:
  static constexpr int kHeight = 30;
  static constexpr int kPhraseButtonId = 1;
  static constexpr int kButtonX = 4;
  static constexpr int kButtonY = 2;

  CQuickChatWiew();
  ~CQuickChatWiew() override;

  // Builds the phrase button.
  virtual void InitResource();
  // Shows the phrase button (the chat panel calls it after InitResource).
  virtual void UpdateButtons();
  // Enables the phrase button while there is a player to speak (the frame calls it whenever
  // the local user record changes).
  virtual void EnableSend(bool enable);
  // Starts the phrases from the first again (the frame calls it on every scene).
  virtual void ResetPhrases();

  bool DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) override;
  void OnCommand(int id) override;

  // Where a chosen phrase goes (the chat panel's line list).
  void SetSayHandler(std::function<void(const std::string&)> say) { m_say = std::move(say); }
  OrvHgeButton* PhraseButton() const { return m_pBtnPhrase.get(); }
  std::size_t NextPhrase() const { return m_nextPhrase; }

 protected:
  std::unique_ptr<OrvHgeButton> m_pBtnPhrase;

 private:
  plat::FrameButtonSink m_caption;
  std::function<void(const std::string&)> m_say;
  std::size_t m_nextPhrase = 0;
};
