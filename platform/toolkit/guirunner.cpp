#include "platform/toolkit/guirunner.h"

#include "platform/toolkit/cachedcast.h"
#include "platform/toolkit/orvhgewindow.h"
#include "platform/toolkit/runtime.h"

namespace plat {

GuiRunner::GuiRunner() {
  m_gui.setGraphics(&m_graphics);
  m_gui.setInput(&m_input);
}

GuiRunner::GuiRunner(HGE* hge) : m_graphics(hge) {
  m_gui.setGraphics(&m_graphics);
  m_gui.setInput(&m_input);
}

// gcn::Gui lets go of its top widget itself (and checks that it still exists).
GuiRunner::~GuiRunner() = default;

void GuiRunner::SetTop(gcn::Widget* top) { m_gui.setTop(top); }

void GuiRunner::Logic() {
  if (!m_gui.getTop()) return;
  m_gui.logic();
  // When the top is no OrvHgeWindow.
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Clicks().Flush();
}

void GuiRunner::Draw() {
  gcn::Widget* top = m_gui.getTop();
  if (!top) return;
  m_gui.draw();
  if (auto* window = plat::CachedCast<OrvHgeWindow>(top); window && window->isVisible()) {
    m_graphics._beginDraw();
    m_graphics.pushClipArea(window->getDimension());
    window->drawExLayer(&m_graphics);
    m_graphics.popClipArea();
    m_graphics._endDraw();
  }
}

}  // namespace plat
