#include "platform/toolkit/orvhgescrollarea.h"

#include <algorithm>

#include "platform/toolkit/cachedcast.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgetextbox.h"

namespace {
const gcn::Color kPlainTrack(0, 0, 0, 48);
const gcn::Color kPlainArrow(0, 0, 0, 110);
const gcn::Color kPlainThumb(96, 96, 96, 200);
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
  auto* box = plat::CachedCast<OrvHgeTextBox>(content);
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

int OrvHgeScrollArea::ArrowLength() const {
  // A very short area keeps room for the thumb.
  return std::clamp((getHeight() - kMinThumbLength) / 2, 0, kArrowLength);
}

gcn::Rectangle OrvHgeScrollArea::UpArrowRect() const {
  if (!BarVisible()) return gcn::Rectangle();
  return gcn::Rectangle(getWidth() - m_nScrollWidth, 0, m_nScrollWidth, ArrowLength());
}

gcn::Rectangle OrvHgeScrollArea::DownArrowRect() const {
  if (!BarVisible()) return gcn::Rectangle();
  return gcn::Rectangle(getWidth() - m_nScrollWidth, getHeight() - ArrowLength(), m_nScrollWidth,
                        ArrowLength());
}

gcn::Rectangle OrvHgeScrollArea::TrackRect() const {
  if (!BarVisible()) return gcn::Rectangle();
  const int a = ArrowLength();
  return gcn::Rectangle(getWidth() - m_nScrollWidth, a, m_nScrollWidth, std::max(getHeight() - 2 * a, 0));
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
  return gcn::Rectangle(track.x, track.y + y, track.width, thumbH);
}

void OrvHgeScrollArea::DrawSkin(OrvHgeGraphics* og, const gcn::Rectangle& up,
                                const gcn::Rectangle& down, const gcn::Rectangle& track,
                                const gcn::Rectangle& thumb) {
  const int w = m_pImg->getWidth();
  const float hs = static_cast<float>(up.width) / w;
  auto part = [&](const gcn::Rectangle& dst, int srcY, int srcH) {
    if (dst.height <= 0 || srcH <= 0) return;
    og->drawImageRect(m_pImg, dst.x, dst.y, w, srcH, 0, srcY, hs,
                      static_cast<float>(dst.height) / srcH);
  };
  part(up, kSkinUpY, kSkinArrowH);
  part(down, kSkinDownY, kSkinArrowH);
  part(track, kSkinTrackY, kSkinTrackH);
  // Thumb: both caps at their size (shared out when the thumb is short), the middle stretched.
  const int cap = std::min(kSkinThumbCap, thumb.height / 2);
  const int middle = kSkinThumbH - 2 * kSkinThumbCap;
  part(gcn::Rectangle(thumb.x, thumb.y, thumb.width, cap), kSkinThumbY, kSkinThumbCap);
  part(gcn::Rectangle(thumb.x, thumb.y + cap, thumb.width, thumb.height - 2 * cap),
       kSkinThumbY + kSkinThumbCap, middle);
  part(gcn::Rectangle(thumb.x, thumb.y + thumb.height - cap, thumb.width, cap),
       kSkinThumbY + kSkinThumbH - kSkinThumbCap, kSkinThumbCap);
}

void OrvHgeScrollArea::DrawPlain(gcn::Graphics* g, const gcn::Rectangle& up,
                                 const gcn::Rectangle& down, const gcn::Rectangle& track,
                                 const gcn::Rectangle& thumb) {
  g->setColor(kPlainArrow);
  g->fillRectangle(up);
  g->fillRectangle(down);
  g->setColor(kPlainTrack);
  g->fillRectangle(track);
  g->setColor(kPlainThumb);
  g->fillRectangle(thumb);
}

void OrvHgeScrollArea::draw(gcn::Graphics* g) {
  FollowContent();
  if (isOpaque()) {
    g->setColor(getBackgroundColor());
    g->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
  }
  if (BarVisible()) {
    const gcn::Rectangle up = UpArrowRect(), down = DownArrowRect(), track = TrackRect();
    const gcn::Rectangle thumb = ThumbRect();
    OrvHgeGraphics* og = ToOrvGraphics(g);
    if (og && m_pImg && m_pImg->getWidth() > 0 && m_pImg->getHeight() >= kSkinHeight)
      DrawSkin(og, up, down, track, thumb);
    else
      DrawPlain(g, up, down, track, thumb);
  }
  drawChildren(g);
}

void OrvHgeScrollArea::mousePressed(gcn::MouseEvent& e) {
  if (e.getButton() != gcn::MouseEvent::LEFT || !BarVisible()) return;
  const int x = e.getX(), y = e.getY();
  if (UpArrowRect().isPointInRect(x, y)) {
    ScrollBy(-m_pressMoveLen);
  } else if (DownArrowRect().isPointInRect(x, y)) {
    ScrollBy(m_pressMoveLen);
  } else if (TrackRect().isPointInRect(x, y)) {
    const gcn::Rectangle thumb = ThumbRect();
    if (thumb.isPointInRect(x, y)) {
      m_dragging = true;
      m_dragOffset = y - thumb.y;
    } else {
      ScrollBy(y < thumb.y ? -m_pressMoveLen : m_pressMoveLen);
    }
  } else {
    return;
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
    const int y = std::clamp(e.getY() - m_dragOffset - track.y, 0, room);
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
