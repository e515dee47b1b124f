#include "platform/toolkit/orvhgebutton.h"

#include "platform/toolkit/cachedcast.h"
#include "platform/toolkit/ibtndrawsink.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgewindow.h"
#include "platform/toolkit/runtime.h"

OrvHgeButton::OrvHgeButton(OrvHgeWindow* parent, int id, const char* imagePath, int x, int y,
                           bool flag)
    : m_id(id), m_image(std::make_unique<OrvHgeImage>(imagePath, flag)) {
  setFocusable(false);
  setFrameSize(0);
  setSize(m_image->getWidth() / kFrameCount, m_image->getHeight());
  addWidgetListener(this);
  if (parent) parent->add(this, x, y);
  else setPosition(x, y);
}

OrvHgeButton::~OrvHgeButton() {
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Clicks().Forget(this);
  removeWidgetListener(this);
}

void OrvHgeButton::SetDefaultBmpIndex(int index, bool hold) {
  if (index < 0 || index >= kFrameCount) return;
  m_defaultIndex = index;
  m_hold = hold;
}

void OrvHgeButton::ClearDefaultBmpIndex() {
  m_defaultIndex = -1;
  m_hold = false;
}

int OrvHgeButton::CurrentFrame() const {
  if (m_hold && m_defaultIndex >= 0) return m_defaultIndex;
  if (!isEnabled()) return kFrameDisabled;
  if (mMousePressed && mHasMouse) return kFramePressed;
  if (mHasMouse) return kFrameHover;
  return m_defaultIndex >= 0 ? m_defaultIndex : kFrameNormal;
}

void OrvHgeButton::draw(gcn::Graphics* g) {
  if (!isEnabled()) {
    // A disabled button gets no mouse events, so what it knew of the mouse is stale.
    mHasMouse = false;
    mMousePressed = false;
  }
  if (OrvHgeGraphics* og = ToOrvGraphics(g)) {
    const int w = getWidth();
    og->drawImage(m_image.get(), w, getHeight(), CurrentFrame() * w, 0, 0.0f, 0.0f);
  }
  if (m_sink && m_sink->DrawButtonCaption(g, this)) return;
  if (mCaption.empty() || !getFont()) return;
  const int x = (getWidth() - getFont()->getWidth(mCaption)) / 2;
  const int y = (getHeight() - getFont()->getHeight()) / 2;
  if (auto* font = plat::CachedCast<OrvHgeFont>(getFont()))
    font->drawString(g, mCaption, x, y, OrvHgeFont::kAlignLeft);
  else {
    g->setFont(getFont());
    g->setColor(getForegroundColor());
    g->drawText(mCaption, x, y);
  }
}

void OrvHgeButton::mousePressed(gcn::MouseEvent& e) {
  if (e.getButton() != gcn::MouseEvent::LEFT) return;
  // The press hit the button, so the mouse is on it, whether or not a move came first.
  mMousePressed = true;
  mHasMouse = true;
  e.consume();
}

void OrvHgeButton::mouseReleased(gcn::MouseEvent& e) {
  if (e.getButton() != gcn::MouseEvent::LEFT || !mMousePressed) return;
  mMousePressed = false;
  const bool inside = e.getX() >= 0 && e.getY() >= 0 && e.getX() < getWidth() &&
                      e.getY() < getHeight();
  mHasMouse = inside;
  e.consume();
  if (!inside || !isEnabled() || !isVisible()) return;
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Clicks().Push(this);
}

void OrvHgeButton::FireClick() {
  if (!isEnabled() || !isVisible()) return;
  auto* window = plat::CachedCast<OrvHgeWindow>(getParent());
  const int id = m_id;
  distributeActionEvent();
  // Last: the command may delete this button (and the listeners may have deleted it).
  if (window && gcn::Widget::widgetExists(window)) window->OnCommand(id);
}

void OrvHgeButton::mouseEntered(gcn::MouseEvent&) { mHasMouse = true; }

void OrvHgeButton::mouseExited(gcn::MouseEvent&) { mHasMouse = false; }

void OrvHgeButton::mouseDragged(gcn::MouseEvent& e) {
  mHasMouse = e.getX() >= 0 && e.getY() >= 0 && e.getX() < getWidth() && e.getY() < getHeight();
  e.consume();
}

void OrvHgeButton::keyPressed(gcn::KeyEvent&) {}

void OrvHgeButton::keyReleased(gcn::KeyEvent&) {}

void OrvHgeButton::widgetHidden(const gcn::Event&) {
  mHasMouse = false;
  mMousePressed = false;
}
