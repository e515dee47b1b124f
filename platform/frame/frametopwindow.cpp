#include "platform/frame/frametopwindow.h"

namespace plat {

FrameTopWindow& FrameTopWindow::Instance() {
  static FrameTopWindow window;
  return window;
}

FrameTopWindow::FrameTopWindow() {
  setSize(kGameAreaWidth, kGameAreaHeight);
  setPosition(0, 0);
  setOpaque(false);
}

void FrameTopWindow::OnCommand(int id) {
  OrvHgeWindow::OnCommand(id);
  if (m_onCommand) m_onCommand(id);
}

}  // namespace plat
