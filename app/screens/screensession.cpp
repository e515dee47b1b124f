#include "app/screens/screensession.h"

#include <guichan/widget.hpp>

#include "client/core/gameclientapp.h"
#include "client/views/systemnotice.h"
#include "platform/text/textconv.h"

namespace screens {

ScreenSession::ScreenSession(plat::RenderDevice* device) : m_device(device) {}

ScreenSession::~ScreenSession() {
  m_server.reset();
  m_frame.reset();
  CSystemNotice::ClearAll();  // the notices' fonts hold textures of the device
}

bool ScreenSession::Start() {
  plat::GameFrameOptions options;
  options.localUser = plat::MakeUserData(kMeId, plat::Utf8ToGbk("夺宝达人"), 860000, 125000);
  GetGameClientApp();
  m_frame = std::make_unique<plat::GameFrame>(m_device, &m_transport, options);
  if (!m_frame->Start()) {
    m_error = m_frame->LastError();
    return false;
  }
  m_server = std::make_unique<plat::FakeServer>(m_frame->Messages());
  return true;
}

void ScreenSession::Run(int frames) {
  for (int i = 0; i < frames; ++i) {
    m_clock.Advance(kFrameMs);
    m_frame->Step();
  }
}

void ScreenSession::MoveTo(int x, int y) {
  m_frame->InjectMouseMove(x, y);
  Run(1);
}

void ScreenSession::ClickAt(int x, int y) {
  m_frame->InjectClick(x, y);
  Run(1);
}

void ScreenSession::Click(gcn::Widget& widget) {
  int x = 0, y = 0;
  widget.getAbsolutePosition(x, y);
  ClickAt(x + widget.getWidth() / 2, y + widget.getHeight() / 2);
}

}  // namespace screens
