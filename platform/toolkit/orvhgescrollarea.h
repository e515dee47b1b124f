#pragma once
// A vertical scroll area with an image skin.
//
// Callers may rely on:
//  - m_nScrollWidth is the width in pixels of the vertical scroll bar (default
//    kDefaultScrollWidth); it may be changed at any time and takes effect at the next logic
//    or draw; the bar shows only when the content is taller than the area;
//  - SetImg(img): the skin is a horizontal strip of two frames: the track (left half) and the
//    thumb (right half), each stretched to its rectangle; without a usable image the bar is
//    drawn in plain colours. The area does not own the image;
//  - SetPressMoveLen(n): a press on the track above or below the thumb, and one wheel step,
//    scroll by n pixels (one text line when n is the line height); dragging the thumb scrolls
//    freely;
//  - after its content changes (another height, or another text box revision) the area
//    scrolls to the end, so that the newest line is in sight;
//  - an OrvHgeTextBox content is kept as wide as the area less the bar, so its lines wrap
//    there. There is no horizontal scrolling.
#include <cstdint>

#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/rectangle.hpp>
#include <guichan/widgets/scrollarea.hpp>

class OrvHgeImage;

class OrvHgeScrollArea : public gcn::ScrollArea {
 public:
  static constexpr int kDefaultScrollWidth = 12;
  static constexpr int kDefaultPressMoveLen = 16;
  static constexpr int kMinThumbLength = 8;

  explicit OrvHgeScrollArea(gcn::Widget* content);

  void SetImg(OrvHgeImage* img) { m_pImg = img; }
  void SetPressMoveLen(int len);
  int GetPressMoveLen() const { return m_pressMoveLen; }
  // Scrolls so that the end of the content is in sight.
  void ScrollToEnd();
  // Thumb and track rectangles in area coordinates (empty when no bar shows).
  gcn::Rectangle TrackRect() const;
  gcn::Rectangle ThumbRect();

  void logic() override;
  void draw(gcn::Graphics* g) override;
  gcn::Rectangle getChildrenArea() override;
  void mousePressed(gcn::MouseEvent& e) override;
  void mouseReleased(gcn::MouseEvent& e) override;
  void mouseDragged(gcn::MouseEvent& e) override;
  void mouseWheelMovedUp(gcn::MouseEvent& e) override;
  void mouseWheelMovedDown(gcn::MouseEvent& e) override;

  OrvHgeImage* m_pImg = nullptr;
  int m_nScrollWidth = kDefaultScrollWidth;

 private:
  void FollowContent();
  bool BarVisible() const;
  void ScrollBy(int dy);

  int m_pressMoveLen = kDefaultPressMoveLen;
  int m_lastContentHeight = -1;
  std::uint64_t m_lastRevision = 0;
  bool m_dragging = false;
  int m_dragOffset = 0;
};
