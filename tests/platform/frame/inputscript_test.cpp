// Scripted input: parsing (bad lines refused with their number) and delivery by frame step.
#include "tests/platform/frame/framefixture.h"

#include <guichan/key.hpp>

#include "platform/frame/bankview.h"
#include "platform/frame/inputscript.h"

namespace frametest {
namespace {

using plat::InputScript;
using plat::ScriptEvent;

TEST(InputScript, ParsesEveryActionSkipsCommentsAndKeepsOrderWithinAFrame) {
  InputScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("# a comment\n"
                           "\n"
                           "5 key Escape\r\n"
                           "2 click 640 360\n"
                           "2 move -3 7\n"
                           "9 text 12 34 \xe4\xb8\xad\n"
                           "9   key   F11\n",
                           &error))
      << error;
  const auto& ev = script.Events();
  ASSERT_EQ(ev.size(), 5u);
  EXPECT_EQ(ev[0].frame, 2u);
  EXPECT_EQ(ev[0].kind, ScriptEvent::Kind::Click);
  EXPECT_EQ(ev[0].x, 640);
  EXPECT_EQ(ev[0].y, 360);
  EXPECT_EQ(ev[1].kind, ScriptEvent::Kind::Move);  // same frame: script order kept
  EXPECT_EQ(ev[1].x, -3);
  EXPECT_EQ(ev[2].frame, 5u);
  EXPECT_EQ(ev[2].key, gcn::Key::ESCAPE);
  EXPECT_EQ(ev[3].kind, ScriptEvent::Kind::Text);
  EXPECT_EQ(ev[3].text, "12 34 \xe4\xb8\xad");  // inner blanks are part of the text
  EXPECT_EQ(ev[4].key, gcn::Key::F11);
}

TEST(InputScript, KeyNamesFollowSdl) {
  EXPECT_EQ(InputScript::KeyFromName("Escape"), gcn::Key::ESCAPE);
  EXPECT_EQ(InputScript::KeyFromName("Return"), gcn::Key::ENTER);
  EXPECT_EQ(InputScript::KeyFromName("Backspace"), gcn::Key::BACKSPACE);
  EXPECT_EQ(InputScript::KeyFromName("F1"), gcn::Key::F1);
  EXPECT_EQ(InputScript::KeyFromName("F2"), gcn::Key::F2);
  EXPECT_EQ(InputScript::KeyFromName("Left"), gcn::Key::LEFT);
  EXPECT_EQ(InputScript::KeyFromName("Left Shift"), gcn::Key::LEFT_SHIFT);
  EXPECT_EQ(InputScript::KeyFromName("Space"), ' ');
  EXPECT_EQ(InputScript::KeyFromName("A"), 'a');
  EXPECT_EQ(InputScript::KeyFromName("7"), '7');
  EXPECT_EQ(InputScript::KeyFromName("NoSuchKey"), 0);
  EXPECT_EQ(InputScript::KeyFromName(""), 0);
}

TEST(InputScript, BadLinesAreRefusedWithTheirNumber) {
  const struct {
    const char* script;
    const char* expected;
  } cases[] = {
      {"1 key F1\n0 key F1\n", "line 2: the frame"},
      {"-4 move 1 2\n", "line 1: the frame"},
      {"x move 1 2\n", "line 1: the frame"},
      {"99999999999 move 1 2\n", "line 1: the frame"},
      {"# c\n\n3 jump 1 2\n", "line 3: unknown action"},
      {"3\n", "line 1: unknown action"},
      {"3 move 1\n", "line 1: move wants X Y"},
      {"3 click 1 2x\n", "line 1: click wants X Y"},
      {"3 click 1 2 3\n", "line 1: click takes only X Y"},
      {"3 move 1 999999999\n", "line 1: move wants X Y"},
      {"3 key\n", "line 1: unknown key name"},
      {"3 key Nope\n", "line 1: unknown key name \"Nope\""},
      {"3 text\n", "line 1: text wants a string"},
  };
  for (const auto& c : cases) {
    InputScript script;
    ASSERT_TRUE(script.Parse("1 key F1\n", nullptr));
    std::string error;
    EXPECT_FALSE(script.Parse(c.script, &error)) << c.script;
    EXPECT_EQ(error.rfind(c.expected, 0), 0u) << c.script << " -> " << error;
    EXPECT_EQ(script.Events().size(), 1u) << "a refused script leaves the old one";
  }
}

TEST(InputScript, AMissingFileIsReported) {
  InputScript script;
  std::string error;
  EXPECT_FALSE(script.LoadFile("/nonexistent/dir/script.txt", &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

TEST_F(FrameTest, ScriptedEventsArriveAtTheirFrameStep) {
  StartFrame();
  InputScript script;
  ASSERT_TRUE(script.Parse("2 click 200 300\n3 key F1\n3 key F2\n5 key Escape\n", nullptr));
  frame->SetInputScript(std::move(script));
  log.clear();

  frame->Step();  // frame 1: nothing scripted
  EXPECT_TRUE(log.empty());
  frame->Step();  // frame 2
  EXPECT_EQ(log, Log{"click:200,300"});
  EXPECT_EQ(Dlg().ruleCount, 0);
  frame->Step();  // frame 3: F1 and F2
  EXPECT_EQ(Dlg().ruleCount, 1);
  EXPECT_TRUE(CBankView::GetInstance()->isVisible());
  frame->Step();
  EXPECT_TRUE(CBankView::GetInstance()->isVisible());
  frame->Step();  // frame 5: Escape closes the bank, the topmost window
  EXPECT_FALSE(CBankView::GetInstance()->isVisible());
  EXPECT_TRUE(frame->Script()->Done());
}

}  // namespace
}  // namespace frametest
