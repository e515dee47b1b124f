#pragma once
// Button clicks waiting to be delivered.
//
// guichan keeps using a widget after its mouse listeners ran (it walks up the parents and
// sends the click event), so a window that deleted the clicked button inside OnCommand would
// crash it. A release therefore only queues the click; the queue is emptied when no event is
// being distributed: by the first OrvHgeWindow::logic of the frame (gcn::Gui::logic calls the
// top widget's logic after all input) and by plat::GuiRunner::Logic. A button that dies
// before that is taken out of the queue. One per plat::Runtime.
#include <deque>

class OrvHgeButton;

namespace plat {

class ClickQueue {
 public:
  void Push(OrvHgeButton* button);
  void Forget(const OrvHgeButton* button);
  // Delivers the queued clicks in order (also those queued meanwhile).
  void Flush();
  bool Empty() const { return m_clicks.empty(); }

 private:
  std::deque<OrvHgeButton*> m_clicks;
};

}  // namespace plat
