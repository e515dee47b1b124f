#pragma once
// A small game for the frame tests: application, dialog, classic and widget view, all writing
// what happens to them into one shared log.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/frame/chatwiew.h"
#include "platform/frame/gameframe.h"
#include "platform/frame/gameframeapp.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/frame/mainwindow.h"
#include "platform/frame/orvgameframeview.h"
#include "testing/recordingtransport.h"
#include "platform/text/assetpath.h"
#include "testing/fakeclock.h"

namespace frametest {

using Log = std::vector<std::string>;

constexpr UINT kMsgPlain = WM_USER + 1;
constexpr UINT kMsgPostTwo = WM_USER + 2;  // posts kMsgPlain(1) and kMsgPlain(2), then returns
constexpr UINT kMsgRepost = WM_USER + 3;   // posts itself again
constexpr std::uint16_t kRejectedSub = 99;  // the dialog answers false for this one

class TestClassicView : public CGameFrameView {
 public:
  explicit TestClassicView(Log& log) : CGameFrameView(true, 16), m_log(log) {}
  void ResetGameView() override { m_log.push_back("reset"); }
  void RectifyGameView(int w, int h) override {
    m_log.push_back("rectify:" + std::to_string(w) + "x" + std::to_string(h));
  }
  void DrawGameView(gcn::Graphics*, int, int) override {}
  bool IsValid() const override { return true; }

 private:
  Log& m_log;
};

class TestView : public COrvGameFrameView {
 public:
  explicit TestView(Log& log) : m_log(log) {}
  void InitResource() override {
    COrvGameFrameView::InitResource();
    m_log.push_back("init");
  }
  void draw(gcn::Graphics* g) override;
  void drawExLayer(gcn::Graphics* g) override;
  void OnTimer(unsigned id) override { m_log.push_back("timer:" + std::to_string(id)); }
  void mouseClicked(gcn::MouseEvent& e) override {
    m_log.push_back("click:" + std::to_string(e.getX()) + "," + std::to_string(e.getY()));
  }
  bool logDraws = false;
  bool paint = false;  // fill kPaintRect red when drawn
  static constexpr int kPaintX = 500, kPaintY = 0, kPaintW = 300, kPaintH = 100;

 private:
  Log& m_log;
};

class TestChatView : public CChatWiew {
 public:
  // Like a game that keeps the chat machinery but off its screen.
  void InitResource() override {
    CChatWiew::InitResource();
    setVisible(false);
  }
};

class TestDialog : public CGameFrameDlg {
 public:
  TestDialog(Log& log, bool* destroyed);
  ~TestDialog() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnGameRule() override { ++ruleCount; }
  CChatWiew* CreateChatView() override {
    return hideChat ? new TestChatView() : CGameFrameDlg::CreateChatView();
  }
  bool OnQueryCanLeave() override { return canLeave; }
  void OnEventFrameClosing() override { m_log.push_back("closing"); }
  void OnEventUserEnter(const tagUserData* user, std::uint16_t chair, bool) override {
    m_log.push_back(std::string("user:") + (user ? std::to_string(user->dwUserID) : "none") +
                    "@" + std::to_string(chair));
  }
  bool OnGameMessage(std::uint16_t sub, const void* data, std::uint16_t size) override;
  bool OnGameScene(std::uint8_t status, bool lookOn, const void* data,
                   std::uint16_t size) override;

  TestView& View() { return m_view; }

  int ruleCount = 0;
  bool canLeave = true;
  static bool hideChat;

 private:
  Log& m_log;
  bool* m_destroyed;
  TestClassicView m_old;
  TestView m_view;
};

struct AppAnswers {
  std::uint32_t flags[6] = {1, 2, 4, 8, 16, 32};
  std::uint32_t frameRate = 0;
  std::uint32_t perStep = 0;
  std::uint32_t statusMs = 5000;
};

class TestApp : public CGameFrameApp {
 public:
  TestApp(Log& log, AppAnswers answers) : m_log(log), m_answers(answers) {}
  std::uint32_t QueryRuleButton() override { return m_answers.flags[0]; }
  std::uint32_t QueryChatView() override { return m_answers.flags[1]; }
  std::uint32_t QueryUserFaces() override { return m_answers.flags[2]; }
  std::uint32_t QueryStatusLine() override { return m_answers.flags[3]; }
  std::uint32_t QueryLookOn() override { return m_answers.flags[4]; }
  std::uint32_t QueryBankWindow() override { return m_answers.flags[5]; }
  std::uint32_t QueryFrameRate() override { return m_answers.frameRate; }
  std::uint32_t QueryMessagesPerStep() override { return m_answers.perStep; }
  std::uint32_t QueryStatusTimeoutMs() override { return m_answers.statusMs; }
  CGameFrameDlg* CreateGameFrameDlg() override { return new TestDialog(m_log, &dialogDestroyed); }

  bool dialogDestroyed = false;

 private:
  Log& m_log;
  AppAnswers m_answers;
};

// A started frame over the test game, on a test clock.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetAssetRoot(VELMORA_ASSET_DIR); }
  void TearDown() override { TestDialog::hideChat = false; }

  // device may be null (no drawing)
  void StartFrame(plat::RenderDevice* device = nullptr, AppAnswers answers = {},
                  plat::GameFrameOptions options = {});
  TestDialog& Dlg() { return *static_cast<TestDialog*>(frame->Dialog()); }

  Log log;
  plat::FakeClock clock{1000};
  plat::ScopedClock scopedClock{&clock};
  plat::RecordingTransport transport;
  std::unique_ptr<TestApp> app;
  std::unique_ptr<plat::GameFrame> frame;
};

}  // namespace frametest
