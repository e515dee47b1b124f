#include "platform/toolkit/orvhgescrollarea.h"

#include <algorithm>

#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgetextbox.h"

namespace {
const gcn::Color kPlainTrack(0, 0, 0, 48);
const gcn::Color kPlainThumb(96, 96, 96, 200);
constexpr int kSkinFrames = 2;  // track, thumb
}  // namespace

OrvHgeScrollArea::OrvHgeScrollArea(gcn::Widget* content)
    : gcn::ScrollArea(content, SHOW_NEVER, SHOW_AUTO) {
  setOpaque(false);
  setFrameSize(0);
  setScrollbarWidth(m_nScrollWidth);
}

void OrvHgeScrollArea::SetPressMoveLen(int len) {
  m_pressMoveLen = std::max(len, 1);
  setUpButtonScrollAmount(m_pressMoveLen);
  setDownButtonScrollAmount(m_pressMoveLen);
}

bool OrvHgeScrollArea::BarVisible() const { return mVBarVisible && m_nScrollWidth > 0; }

gcn::Rectangle OrvHgeScrollArea::getChildrenArea() {
  const int bar = mVBarVisible ? std::max(m_nScrollWidth, 0) : 0;
  const int w = getWidth() - bar;
  if (w < 0 || getHeight() < 0) return gcn::Rectangle();
  return gcn::Rectangle(0, 0, w, getHeight());
}

void OrvHgeScrollArea::ScrollToEnd() { setVerticalScrollAmount(getVerticalMaxScroll()); }

void OrvHgeScrollArea::ScrollBy(int dy) {
  setVerticalScrollAmount(std::clamp(getVerticalScrollAmount() + dy, 0, getVerticalMaxScroll()));
}

void OrvHgeScrollArea::FollowContent() {
  const int bar = std::max(m_nScrollWidth, 0);
  setScrollbarWidth(bar);
  gcn::Widget* content = getContent();
  if (!content) return;
  auto* box = dynamic_cast<OrvHgeTextBox*>(content);
  if (box) {
    // Wrap at the full width first; if that needs the bar, wrap again beside it. Wrapping
    // narrower only adds rows, so this settles.
    box->setWidth(std::max(getWidth(), 0));
    box->RowCount();
    if (box->getHeight() > getHeight()) {
      box->setWidth(std::max(getWidth() - bar, 0));
      box->RowCount();
    }
  }
  const bool changed = content->getHeight() != m_lastContentHeight ||
                       (box && box->Revision() != m_lastRevision);
  checkPolicies();
  if (changed && !m_dragging) ScrollToEnd();
  m_lastContentHeight = content->getHeight();
  if (box) m_lastRevision = box->Revision();
  setVerticalScrollAmount(getVerticalScrollAmount());
  setHorizontalScrollAmount(0);
  content->setPosition(content->getFrameSize(), -mVScroll + content->getFrameSize());
}

void OrvHgeScrollArea::logic() {
  FollowContent();
  if (gcn::Widget* content = getContent()) content->logic();
  FollowContent();  // the content's logic may have changed it
}

gcn::Rectangle OrvHgeScrollArea::TrackRect() const {
  if (!BarVisible()) return gcn::Rectangle();
  return gcn::Rectangle(getWidth() - m_nScrollWidth, 0, m_nScrollWidth, getHeight());
}

gcn::Rectangle OrvHgeScrollArea::ThumbRect() {
  const gcn::Rectangle track = TrackRect();
  const gcn::Widget* content = getContent();
  const int max = getVerticalMaxScroll();
  if (track.height <= 0 || !content || max <= 0) return track;
  const int contentH = std::max(content->getHeight(), 1);
  const int thumbH = std::clamp(static_cast<int>(static_cast<long long>(track.height) *
                                                 track.height / contentH),
                                std::min(kMinThumbLength, track.height), track.height);
  const int y = static_cast<int>(static_cast<long long>(track.height - thumbH) *
                                 getVerticalScrollAmount() / max);
  return gcn::Rectangle(track.x, y, track.width, thumbH);
}

void OrvHgeScrollArea::draw(gcn::Graphics* g) {
  FollowContent();
  if (isOpaque()) {
    g->setColor(getBackgroundColor());
    g->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
  }
  if (BarVisible()) {
    const gcn::Rectangle track = TrackRect();
    const gcn::Rectangle thumb = ThumbRect();
    OrvHgeGraphics* og = ToOrvGraphics(g);
    const int frameW = m_pImg ? m_pImg->getWidth() / kSkinFrames : 0;
    const int frameH = m_pImg ? m_pImg->getHeight() : 0;
    if (og && frameW > 0 && frameH > 0) {
      const float hs = static_cast<float>(track.width) / frameW;
      og->drawImageRect(m_pImg, track.x, track.y, frameW, frameH, 0, 0, hs,
                        static_cast<float>(track.height) / frameH);
      og->drawImageRect(m_pImg, thumb.x, thumb.y, frameW, frameH, frameW, 0, hs,
                        static_cast<float>(thumb.height) / frameH);
    } else {
      g->setColor(kPlainTrack);
      g->fillRectangle(track);
      g->setColor(kPlainThumb);
      g->fillRectangle(thumb);
    }
  }
  drawChildren(g);
}

void OrvHgeScrollArea::mousePressed(gcn::MouseEvent& e) {
  const gcn::Rectangle track = TrackRect();
  if (e.getButton() != gcn::MouseEvent::LEFT || !track.isPointInRect(e.getX(), e.getY())) return;
  const gcn::Rectangle thumb = ThumbRect();
  if (thumb.isPointInRect(e.getX(), e.getY())) {
    m_dragging = true;
    m_dragOffset = e.getY() - thumb.y;
  } else {
    ScrollBy(e.getY() < thumb.y ? -m_pressMoveLen : m_pressMoveLen);
  }
  e.consume();
}

void OrvHgeScrollArea::mouseReleased(gcn::MouseEvent& e) {
  if (m_dragging) e.consume();
  m_dragging = false;
}

void OrvHgeScrollArea::mouseDragged(gcn::MouseEvent& e) {
  if (!m_dragging) return;
  const gcn::Rectangle track = TrackRect();
  const gcn::Rectangle thumb = ThumbRect();
  const int room = track.height - thumb.height;
  if (room > 0) {
    const int y = std::clamp(e.getY() - m_dragOffset, 0, room);
    setVerticalScrollAmount(
        static_cast<int>(static_cast<long long>(y) * getVerticalMaxScroll() / room));
  }
  e.consume();
}

void OrvHgeScrollArea::mouseWheelMovedUp(gcn::MouseEvent& e) {
  ScrollBy(-m_pressMoveLen);
  e.consume();
}

void OrvHgeScrollArea::mouseWheelMovedDown(gcn::MouseEvent& e) {
  ScrollBy(m_pressMoveLen);
  e.consume();
}
