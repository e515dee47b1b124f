#include "platform/frame/orvgameframeview.h"

#include <string>

#include "platform/frame/frametopwindow.h"

COrvGameFrameView::COrvGameFrameView() { m_cyrm.fill(true); }

COrvGameFrameView::~COrvGameFrameView() = default;

void COrvGameFrameView::InitResource() {
  setPosition(0, 0);
  setSize(plat::kGameAreaWidth, plat::kGameAreaHeight);
}

int COrvGameFrameView::GetCursorShape() { return kCursorArrow; }

void COrvGameFrameView::draw(gcn::Graphics* g) { OrvHgeWindow::draw(g); }

void COrvGameFrameView::drawExLayer(gcn::Graphics* g) { OrvHgeWindow::drawExLayer(g); }

void COrvGameFrameView::OnCommand(int id) { OrvHgeWindow::OnCommand(id); }

void COrvGameFrameView::OnTimer(unsigned id) { OrvHgeWindow::OnTimer(id); }

void COrvGameFrameView::mouseClicked(gcn::MouseEvent& e) { OrvHgeWindow::mouseClicked(e); }

void COrvGameFrameView::mouseMoved(gcn::MouseEvent& e) { OrvHgeWindow::mouseMoved(e); }

void COrvGameFrameView::action(const gcn::ActionEvent& e) { OrvHgeWindow::action(e); }

bool COrvGameFrameView::IsValid() const { return plat::LiveMark<COrvGameFrameView>::IsLive(this); }

OrvHgeImage* COrvGameFrameView::GetFaceImg(std::uint32_t userId) {
  if (!m_bFacesEnabled) return nullptr;
  auto& face = m_faces[userId % kFaceCount];
  if (!face) {
    const std::string path = "Frame/Face/face_" + std::to_string(userId % kFaceCount) + ".png";
    // Faces are drawn scaled to the card, so they get the smooth-sampling flag.
    face = std::make_unique<OrvHgeImage>(path.c_str(), true);
  }
  return face.get();
}

void COrvGameFrameView::SetCyrmEnable(int index, bool enable) {
  if (index >= 0 && index < kCyrmCount) m_cyrm[static_cast<std::size_t>(index)] = enable;
}

bool COrvGameFrameView::IsCyrmEnabled(int index) const {
  return index >= 0 && index < kCyrmCount && m_cyrm[static_cast<std::size_t>(index)];
}
