#pragma once
// A headless game session for screenshots: the real frame loop with the game's application,
// dialog and main view, fed by a fake server, driven by scripted mouse input on a test clock.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "testing/fakeserver.h"
#include "platform/frame/gameframe.h"
#include "testing/recordingtransport.h"
#include "platform/render/renderdevice.h"
#include "platform/toolkit/clock.h"

namespace gcn {
class Widget;
}

namespace screens {

class ScreenSession {
 public:
  static constexpr std::uint64_t kFrameMs = 16;
  static constexpr std::uint32_t kMeId = 7;

  // `device` is not owned and must outlive the session.
  explicit ScreenSession(plat::RenderDevice* device);
  ~ScreenSession();

  bool Start();  // false: the frame did not start
  const std::string& Error() const { return m_error; }

  plat::FakeServer& Server() { return *m_server; }
  plat::RecordingTransport& Transport() { return m_transport; }
  // Runs n frame steps, the clock moving kFrameMs each.
  void Run(int frames);
  void MoveTo(int x, int y);
  void ClickAt(int x, int y);
  // Clicks the middle of a widget wherever it sits in the widget tree.
  void Click(gcn::Widget& widget);

 private:
  plat::TestClock m_clock{1000};
  plat::ScopedClock m_clockScope{&m_clock};
  plat::RenderDevice* m_device;
  plat::RecordingTransport m_transport;
  std::unique_ptr<plat::GameFrame> m_frame;
  std::unique_ptr<plat::FakeServer> m_server;  // feeds the frame's queue
  std::string m_error;
};

}  // namespace screens
