#include "platform/toolkit/orvhgewindow.h"

#include <algorithm>

#include <guichan/exception.hpp>
#include <guichan/rectangle.hpp>

#include "platform/time/clock.h"
#include "platform/toolkit/cachedcast.h"
#include "platform/toolkit/runtime.h"

OrvHgeWindow::OrvHgeWindow() {
  setOpaque(false);
  setFocusable(false);
  addMouseListener(this);
}

OrvHgeWindow::~OrvHgeWindow() {
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Timers().KillAll(this);
  std::vector<gcn::Widget*> adopted;
  adopted.swap(m_adopted);
  for (gcn::Widget* w : adopted) {
    w->removeDeathListener(&m_watcher);
    delete w;  // its death takes it out of this container too
  }
}

void OrvHgeWindow::AdoptWatcher::death(const gcn::Event& event) {
  m_adopted.erase(std::remove(m_adopted.begin(), m_adopted.end(), event.getSource()),
                  m_adopted.end());
}

void OrvHgeWindow::add(gcn::Widget* w) {
  if (w) gcn::Container::add(w);
}

void OrvHgeWindow::add(gcn::Widget* w, int x, int y) {
  if (w) gcn::Container::add(w, x, y);
}

void OrvHgeWindow::Adopt(gcn::Widget* w) {
  if (!w) return;
  if (std::find(m_adopted.begin(), m_adopted.end(), w) != m_adopted.end()) return;
  m_adopted.push_back(w);
  w->addDeathListener(&m_watcher);
}

void OrvHgeWindow::SetTimer(unsigned id, unsigned ms) {
  if (plat::Runtime* rt = plat::Runtime::Current())
    rt->Timers().Set(this, id, ms, plat::GetClock().NowMs());
}

void OrvHgeWindow::KillTimer(unsigned id) {
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Timers().Kill(this, id);
}

bool OrvHgeWindow::HasTimer(unsigned id) const {
  plat::Runtime* rt = plat::Runtime::Current();
  return rt != nullptr && rt->Timers().IsSet(this, id);
}

void OrvHgeWindow::logic() {
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Clicks().Flush();
  gcn::Container::logic();
}

void OrvHgeWindow::draw(gcn::Graphics* g) { drawChildren(g); }

void OrvHgeWindow::drawExLayer(gcn::Graphics* g) {
  for (gcn::Widget* w : mWidgets) {
    auto* child = plat::CachedCast<OrvHgeWindow>(w);
    if (!child || !child->isVisible()) continue;
    const gcn::Rectangle& d = child->getDimension();
    g->pushClipArea(d);
    child->drawExLayer(g);
    g->popClipArea();
  }
}

void OrvHgeWindow::OnCommand(int) {}

void OrvHgeWindow::OnTimer(unsigned) {}

void OrvHgeWindow::action(const gcn::ActionEvent&) {}
