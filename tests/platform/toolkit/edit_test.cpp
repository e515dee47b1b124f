#include <gtest/gtest.h>

#include <guichan/key.hpp>

#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgeedit.h"
#include "platform/toolkit/orvhgefont.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

class EditTest : public tktest::GuiTest {
 protected:
  EditTest() {
    m_edit.setSize(100, 20);
    m_edit.setFont(&m_font);
    m_edit.addActionListener(&m_events);
    m_top.add(&m_edit, 10, 10);
    m_runner->Input().InjectClick(15, 15);
    Frame();
  }
  void Type(const std::string& utf8) {
    m_runner->Input().InjectText(utf8);
    Frame();
  }
  void Key(int value) {
    m_runner->Input().InjectKey(value);
    Frame();
  }

  tktest::ScopedRasterizer m_fake{tktest::MakeFakeRasterizer};
  OrvHgeFont m_font{"x", 10, 0, 0, 0};
  OrvHgeEdit m_edit;
  tktest::ActionRecorder m_events;
};

TEST_F(EditTest, NumbersOnlyAdmitsDigitsAloneAndReportsEachChange) {
  m_edit.SetNumOnly(true);
  Type("1a2 -3.中");
  EXPECT_EQ(m_edit.getText(), "123");
  EXPECT_EQ(m_events.ids, std::vector<std::string>(3, "changeText"));
  Key(gcn::Key::BACKSPACE);
  Key(gcn::Key::ENTER);
  EXPECT_EQ(m_edit.getText(), "12");
  ASSERT_EQ(m_events.ids.size(), 5u);
  EXPECT_EQ(m_events.ids[3], "changeText");
  EXPECT_EQ(m_events.ids[4], "enter");
}

TEST_F(EditTest, SetTextIsSilentAndKeysThatChangeNothingSendNothing) {
  m_edit.setText("99");
  Key(gcn::Key::HOME);
  Key(gcn::Key::BACKSPACE);  // nothing before the caret
  Key(gcn::Key::END);
  Key(gcn::Key::DELETE);     // nothing after it
  EXPECT_TRUE(m_events.ids.empty());
  EXPECT_EQ(m_edit.getText(), "99");
}

TEST_F(EditTest, WideTextIsStoredAsGbkAndNeverSplit) {
  Type("中a文");
  EXPECT_EQ(m_edit.getText(), plat::Utf8ToGbk("中a文"));
  Key(gcn::Key::LEFT);       // before 文
  Key(gcn::Key::BACKSPACE);  // removes the 'a'
  Key(gcn::Key::BACKSPACE);  // removes both bytes of 中
  EXPECT_EQ(m_edit.getText(), plat::Utf8ToGbk("文"));
  Type("\xF0\x9F\x98\x80");  // an emoji GBK cannot hold: dropped, no '?'
  EXPECT_EQ(m_edit.getText(), plat::Utf8ToGbk("文"));
  EXPECT_EQ(m_events.ids.size(), 5u);  // three inserts, two erases
}

TEST_F(EditTest, MaxLengthCapsTyping) {
  m_edit.SetMaxLength(4);
  Type("123456");
  EXPECT_EQ(m_edit.getText(), "1234");
}

class CaretEdit : public OrvHgeEdit {
 public:
  void drawCaret(gcn::Graphics*, int x) override { caretX.push_back(x); }
  std::vector<int> caretX;
};

TEST_F(EditTest, CaretDrawingCanBeReplacedAndFollowsTheText) {
  CaretEdit e;
  e.setSize(100, 20);
  e.setFont(&m_font);
  m_top.add(&e, 10, 50);
  m_runner->Input().InjectClick(15, 55);
  Frame();
  m_runner->Input().InjectText("12");
  Frame();
  ASSERT_GE(e.caretX.size(), 2u);
  EXPECT_EQ(e.caretX.front(), OrvHgeEdit::kTextPadding);
  EXPECT_EQ(e.caretX.back(), OrvHgeEdit::kTextPadding + 2 * 5);  // two digits of 5 px
}

}  // namespace
