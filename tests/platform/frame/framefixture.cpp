#include "tests/platform/frame/framefixture.h"

#include <guichan/color.hpp>
#include <guichan/graphics.hpp>
#include <guichan/rectangle.hpp>

namespace frametest {

bool TestDialog::hideChat = false;

void TestView::draw(gcn::Graphics* g) {
  if (logDraws) m_log.push_back("draw");
  if (paint) {
    g->setColor(gcn::Color(255, 0, 0, 255));
    g->fillRectangle(gcn::Rectangle(kPaintX, kPaintY, kPaintW, kPaintH));
  }
  COrvGameFrameView::draw(g);
}

void TestView::drawExLayer(gcn::Graphics* g) {
  if (logDraws) m_log.push_back("exlayer");
  COrvGameFrameView::drawExLayer(g);
}

TestDialog::TestDialog(Log& log, bool* destroyed)
    : CGameFrameDlg(&m_old), m_log(log), m_destroyed(destroyed), m_old(log), m_view(log) {
  m_cbWidgetView = 1;
  SetOrvGameView(&m_view);
}

TestDialog::~TestDialog() {
  if (m_destroyed) *m_destroyed = true;
}

LRESULT TestDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMsgPlain:
      m_log.push_back("msg:" + std::to_string(wParam));
      return static_cast<LRESULT>(wParam) + lParam;
    case kMsgPostTwo:
      m_log.push_back("post-begin");
      AfxGetMainWnd()->PostMessage(kMsgPlain, 1, 0);
      AfxGetMainWnd()->PostMessage(kMsgPlain, 2, 0);
      m_log.push_back("post-end");
      return 0;
    case kMsgRepost:
      m_log.push_back("repost");
      AfxGetMainWnd()->PostMessage(kMsgRepost, 0, 0);
      return 0;
    default:
      return CGameFrameDlg::WindowProc(message, wParam, lParam);
  }
}

bool TestDialog::OnGameMessage(std::uint16_t sub, const void*, std::uint16_t size) {
  m_log.push_back("game:" + std::to_string(sub) + "/" + std::to_string(size));
  return sub != kRejectedSub;
}

bool TestDialog::OnGameScene(std::uint8_t status, bool lookOn, const void*, std::uint16_t) {
  m_log.push_back("scene:" + std::to_string(status) + (lookOn ? "L" : ""));
  return status == 0 || status == 100;
}

void FrameTest::StartFrame(plat::RenderDevice* device, AppAnswers answers,
                           plat::GameFrameOptions options) {
  options.logRejected = false;
  app = std::make_unique<TestApp>(log, answers);
  frame = std::make_unique<plat::GameFrame>(device, &transport, std::move(options));
  ASSERT_TRUE(frame->Start()) << frame->LastError();
}

}  // namespace frametest
