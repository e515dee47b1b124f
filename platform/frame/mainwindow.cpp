#include "platform/frame/mainwindow.h"

#include "platform/frame/gameframedlg.h"
#include "platform/frame/globalunits.h"

namespace plat {

MainWindow& MainWindow::Instance() {
  static MainWindow window;
  return window;
}

LRESULT MainWindow::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CGameFrameDlg* dlg = CGlobalUnits::s_pGameFrameDlg;
  if (dlg == nullptr || !dlg->IsValid()) {
    ++m_dropped;
    return 0;
  }
  return dlg->WindowProc(message, wParam, lParam);
}

bool MainWindow::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_queue.size() >= kMaxPosted) {
    ++m_dropped;
    return false;
  }
  m_queue.push_back(Posted{message, wParam, lParam});
  return true;
}

std::size_t MainWindow::DispatchPosted() {
  if (m_dispatching) return 0;
  m_dispatching = true;
  std::size_t ran = 0;
  for (std::size_t n = m_queue.size(); n > 0 && !m_queue.empty(); --n) {
    const Posted msg = m_queue.front();
    m_queue.pop_front();
    SendMessage(msg.message, msg.wParam, msg.lParam);
    ++ran;
  }
  m_dispatching = false;
  return ran;
}

}  // namespace plat

plat::MainWindow* AfxGetMainWnd() { return &plat::MainWindow::Instance(); }
