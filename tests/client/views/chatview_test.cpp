#include "client/views/mychatview.h"

#include "client/views/myquickchatview.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/client/views/windowviewfixture.h"

namespace windowviews {
namespace {

using ChatViewTest = ViewTest;

TEST_F(ChatViewTest, ChatViewHidesItselfAndTakesThePhraseButtonAway) {
  CMyChatView chat;
  chat.InitResource();
  EXPECT_FALSE(chat.isVisible());
  auto* quick = dynamic_cast<CMyQuickChatWiew*>(chat.QuickChat());
  ASSERT_NE(quick, nullptr);
  OrvHgeButton* phrase = quick->PhraseButton();
  ASSERT_NE(phrase, nullptr);
  // guichan counts everything inside a hidden widget as hidden and disabled: show the panel
  // to look at the button itself.
  chat.setVisible(true);
  EXPECT_FALSE(phrase->isVisible());

  // The frame enables sending when a player arrives: the button stays disabled.
  CQuickChatWiew* base = quick;
  base->EnableSend(true);
  phrase->setVisible(true);
  EXPECT_FALSE(phrase->isEnabled());

  CChatWiew* asFrameSees = &chat;
  asFrameSees->AddChatLine("hello");
  EXPECT_TRUE(chat.Lines().empty());
}

TEST_F(ChatViewTest, ChatViewDrawsNoPanelOfItsOwn) {
  CMyChatView chat;
  chat.InitResource();
  chat.setVisible(true);
  const auto log = Capture([&](gcn::Graphics* g) { chat.draw(g); });
  EXPECT_TRUE(OfKind(log, plat::DrawRecord::Rect).empty());
  EXPECT_TRUE(OfKind(log, plat::DrawRecord::Text).empty());

  // The frame's own panel would have drawn its background here.
  CChatWiew frameChat;
  frameChat.InitResource();
  const auto frameLog = Capture([&](gcn::Graphics* g) { frameChat.draw(g); });
  EXPECT_FALSE(OfKind(frameLog, plat::DrawRecord::Rect).empty());
}

}  // namespace
}  // namespace windowviews
