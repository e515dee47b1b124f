#include "platform/toolkit/clickqueue.h"

#include <algorithm>

#include "platform/toolkit/orvhgebutton.h"

namespace plat {

void ClickQueue::Push(OrvHgeButton* button) { m_clicks.push_back(button); }

void ClickQueue::Forget(const OrvHgeButton* button) {
  m_clicks.erase(std::remove(m_clicks.begin(), m_clicks.end(), button), m_clicks.end());
}

void ClickQueue::Flush() {
  // One at a time from the front: a command may delete buttons that are still queued.
  while (!m_clicks.empty()) {
    OrvHgeButton* b = m_clicks.front();
    m_clicks.pop_front();
    b->FireClick();
  }
}

}  // namespace plat
