#include <gtest/gtest.h>

#include "platform/toolkit/ibtndrawsink.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgeedit.h"
#include "platform/toolkit/orvhgefont.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

using tktest::GuiTest;

constexpr std::uint32_t kNormal = 0xFFFF0000, kHover = 0xFF00FF00, kPressed = 0xFF0000FF,
                        kDisabled = 0xFF808080;
constexpr int kBtnX = 30, kBtnY = 40, kFrameW = 20, kFrameH = 10;

class ButtonTest : public GuiTest {
 protected:
  ButtonTest()
      : m_strip(tktest::WriteStrip(m_dir, "btn.png", kFrameW, kFrameH, {kNormal, kHover, kPressed, kDisabled})),
        m_button(&m_top, 7, m_strip.c_str(), kBtnX, kBtnY, false) {}

  void Click(int x, int y) {
    m_runner->Input().InjectMousePress(x, y);
    m_runner->Input().InjectMouseRelease(x, y);
    Frame();
  }
  std::uint32_t Centre() const { return Pixel(kBtnX + kFrameW / 2, kBtnY + kFrameH / 2); }

  std::string m_strip;
  OrvHgeButton m_button;
};

TEST_F(ButtonTest, IsOneFrameInSizeAtItsPlaceInTheParent) {
  EXPECT_EQ(m_button.getParent(), &m_top);
  EXPECT_EQ(m_button.getX(), kBtnX);
  EXPECT_EQ(m_button.getY(), kBtnY);
  EXPECT_EQ(m_button.getWidth(), kFrameW);
  EXPECT_EQ(m_button.getHeight(), kFrameH);
  EXPECT_EQ(m_button.GetID(), 7);
}

TEST_F(ButtonTest, ScriptedPressAndReleaseWithoutAMoveReachOnCommand) {
  Click(kBtnX + 3, kBtnY + 3);
  ASSERT_EQ(m_top.commands, std::vector<int>({7}));
  Click(kBtnX + kFrameW - 1, kBtnY + kFrameH - 1);  // last pixel still counts
  EXPECT_EQ(m_top.commands.size(), 2u);
}

TEST_F(ButtonTest, DisabledOrHiddenButtonsIgnoreClicksUntilRestored) {
  m_button.setEnabled(false);
  Click(kBtnX + 5, kBtnY + 5);
  m_button.setEnabled(true);
  m_button.setVisible(false);
  Click(kBtnX + 5, kBtnY + 5);
  EXPECT_TRUE(m_top.commands.empty());
  m_button.setVisible(true);
  Click(kBtnX + 5, kBtnY + 5);
  EXPECT_EQ(m_top.commands, std::vector<int>({7}));
}

TEST_F(ButtonTest, APressOrReleaseOffTheButtonIsNoClick) {
  auto& in = m_runner->Input();
  in.InjectMousePress(kBtnX + 5, kBtnY + 5);
  in.InjectMouseRelease(kBtnX + 100, kBtnY + 100);  // dragged away, released outside
  in.InjectMousePress(kBtnX + 100, kBtnY + 5);
  in.InjectMouseMove(kBtnX + 5, kBtnY + 5);
  in.InjectMouseRelease(kBtnX + 5, kBtnY + 5);      // pressed elsewhere
  in.InjectMousePress(kBtnX + 5, kBtnY + 5, gcn::MouseInput::RIGHT);
  in.InjectMouseRelease(kBtnX + 5, kBtnY + 5, gcn::MouseInput::RIGHT);
  Frame();
  EXPECT_TRUE(m_top.commands.empty());
}

TEST_F(ButtonTest, ClickGoesToTheWindowTheButtonBelongsTo) {
  tktest::RecordingWindow child;
  child.setSize(100, 100);
  m_top.add(&child, 100, 100);
  OrvHgeButton inner(&child, 9, m_strip.c_str(), 10, 10, false);
  Click(100 + 15, 100 + 15);
  EXPECT_EQ(child.commands, std::vector<int>({9}));
  EXPECT_TRUE(m_top.commands.empty());
}

class DeletingWindow : public OrvHgeWindow {
 public:
  void OnCommand(int id) override {
    last = id;
    delete button;  // a close button that takes itself away
    button = nullptr;
  }
  OrvHgeButton* button = nullptr;
  int last = 0;
};

TEST_F(ButtonTest, OnCommandMayDeleteTheButton) {
  DeletingWindow w;
  w.setSize(100, 100);
  m_top.add(&w, 100, 100);
  w.button = new OrvHgeButton(&w, 5, m_strip.c_str(), 0, 0, false);
  Click(105, 105);
  EXPECT_EQ(w.last, 5);
  EXPECT_EQ(w.button, nullptr);
  Frame();  // still drawable afterwards
}

TEST_F(ButtonTest, FramesFollowTheStateAndTheDefaultIndex) {
  Frame();
  EXPECT_EQ(Centre(), kNormal);
  m_runner->Input().InjectMouseMove(kBtnX + 5, kBtnY + 5);
  Frame();
  EXPECT_EQ(Centre(), kHover);
  m_runner->Input().InjectMousePress(kBtnX + 5, kBtnY + 5);
  Frame();
  EXPECT_EQ(Centre(), kPressed);
  m_runner->Input().InjectMouseRelease(kBtnX + 5, kBtnY + 5);
  m_button.setEnabled(false);
  Frame();
  EXPECT_EQ(Centre(), kDisabled);
  m_button.setEnabled(true);

  m_button.SetDefaultBmpIndex(OrvHgeButton::kFramePressed, true);  // held: wins over hover
  m_runner->Input().InjectMouseMove(kBtnX + 5, kBtnY + 5);
  Frame();
  EXPECT_EQ(Centre(), kPressed);
  m_button.SetDefaultBmpIndex(OrvHgeButton::kFrameHover, false);  // resting frame only
  m_runner->Input().InjectMouseMove(200, 200);
  Frame();
  EXPECT_EQ(Centre(), kHover);
  m_button.SetDefaultBmpIndex(9, true);  // out of range: ignored
  m_button.ClearDefaultBmpIndex();
  Frame();
  EXPECT_EQ(Centre(), kNormal);
}

TEST_F(ButtonTest, HidingAHoveredButtonForgetsTheHover) {
  m_runner->Input().InjectMouseMove(kBtnX + 5, kBtnY + 5);
  Frame();
  ASSERT_EQ(m_button.CurrentFrame(), OrvHgeButton::kFrameHover);
  m_button.setVisible(false);
  m_button.setPosition(200, 200);  // shown again away from the mouse
  m_button.setVisible(true);
  Frame();
  EXPECT_EQ(m_button.CurrentFrame(), OrvHgeButton::kFrameNormal);
}

TEST_F(ButtonTest, ClickingAButtonKeepsTheKeyboardOnTheEditField) {
  OrvHgeEdit edit;
  edit.setSize(60, 20);
  m_top.add(&edit, 150, 10);
  m_runner->Input().InjectClick(155, 15);  // focus the field
  Frame();
  Click(kBtnX + 5, kBtnY + 5);
  m_runner->Input().InjectText("42");
  Frame();
  EXPECT_EQ(m_top.commands, std::vector<int>({7}));
  EXPECT_EQ(edit.getText(), "42");
  EXPECT_FALSE(m_button.isFocusable());
}

TEST_F(ButtonTest, MissingImageGivesAButtonThatCannotBeHit) {
  OrvHgeButton ghost(&m_top, 3, "no/such/button.png", 200, 100, false);
  EXPECT_EQ(ghost.getWidth(), 0);
  EXPECT_EQ(ghost.getHeight(), 0);
  Click(200, 100);
  EXPECT_TRUE(m_top.commands.empty());
}

struct CaptionSink : IBtnDrawSink {
  bool DrawButtonCaption(gcn::Graphics*, OrvHgeButton* btn) override {
    seen.push_back(btn->GetID());
    return answer;
  }
  bool answer = true;
  std::vector<int> seen;
};

TEST_F(ButtonTest, DrawSinkDrawsTheCaptionElseTheButtonsOwnCaptionIsDrawn) {
  tktest::ScopedRasterizer fake(tktest::MakeFakeRasterizer);
  OrvHgeFont font("x", 8, 0, 0, 0);
  m_button.setFont(&font);
  m_button.setCaption("OK");
  CaptionSink sink;
  m_button.SetDrawSink(&sink);
  std::vector<plat::DrawRecord> log;
  {
    plat::ScopedDrawLog rec(&log);
    Frame();
    sink.answer = false;
    Frame();
  }
  EXPECT_EQ(sink.seen, std::vector<int>({7, 7}));
  int texts = 0;
  for (const auto& r : log)
    if (r.kind == plat::DrawRecord::Text && r.what == "OK") ++texts;
  EXPECT_EQ(texts, 1);  // only the frame where the sink declined
}

}  // namespace
