#include "client/views/gamerule.h"

#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr const char* kPicturePath = "Velmora/Image/RuleInfo.png";
// The sales history window's close button picture.
constexpr const char* kCloseImagePath = "Velmora/Image/SellRecord/BtClose.png";
constexpr int kCloseRightGap = 3;
constexpr int kCloseTop = 4;

}  // namespace

CGameRule& GetGameRule() {
  static CGameRule window;
  return window;
}

CGameRule::CGameRule() = default;
CGameRule::~CGameRule() = default;

void CGameRule::Create() {
  if (m_picture) return;
  m_picture = std::make_unique<OrvHgeImage>(kPicturePath, false);
  setSize(m_picture->getWidth(), m_picture->getHeight());
  m_closeButton = std::make_unique<OrvHgeButton>(this, kCloseButtonId, kCloseImagePath, 0, 0, false);
  m_closeButton->setPosition(getWidth() - m_closeButton->getWidth() - kCloseRightGap, kCloseTop);
}

void CGameRule::draw(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og && m_picture) og->drawImage(m_picture.get(), 0, 0);
  OrvHgeWindow::draw(g);
}

void CGameRule::OnCommand(int id) {
  if (id == kCloseButtonId) setVisible(false);
}
