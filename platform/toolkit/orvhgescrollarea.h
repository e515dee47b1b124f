#pragma once
// A vertical scroll area with an image skin.
//
// Callers may rely on:
//  - m_nScrollWidth is the width in pixels of the vertical scroll bar (default
//    kDefaultScrollWidth); it may be changed at any time and takes effect at the next logic
//    or draw; the bar shows only when the content is taller than the area;
//  - the bar is an up arrow (top), the track and a down arrow (bottom), kArrowLength high each;
//  - SetImg(img): the skin is a vertical stack as wide as the bar: up arrow (rows 0-7), down
//    arrow (8-15), track (16-31, uniform rows, stretched), thumb (32-55: a 6-row cap, a middle
//    that stretches, a 6-row cap); it is scaled to the bar's width. Without a skin of that
//    height the bar is drawn in plain colours. The area does not own the image;
//  - SetPressMoveLen(n): a press on an arrow or on the track beside the thumb, and one wheel
//    step, scroll by n pixels (one text line when n is the line height); dragging the thumb
//    scrolls freely;
//  - after its content changes (another height, or another text box revision) the area
//    scrolls to the end, so that the newest line is in sight;
//  - an OrvHgeTextBox content is kept as wide as the area less the bar, so its lines wrap
//    there. There is no horizontal scrolling.
#include <cstdint>

#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/rectangle.hpp>
#include <guichan/widgets/scrollarea.hpp>

class OrvHgeGraphics;
class OrvHgeImage;

class OrvHgeScrollArea : public gcn::ScrollArea {
 public:
  static constexpr int kDefaultScrollWidth = 12;
  static constexpr int kDefaultPressMoveLen = 16;
  static constexpr int kMinThumbLength = 8;
  static constexpr int kArrowLength = 8;
  // Rows of the skin image.
  static constexpr int kSkinUpY = 0, kSkinDownY = 8, kSkinArrowH = 8;
  static constexpr int kSkinTrackY = 16, kSkinTrackH = 16;
  static constexpr int kSkinThumbY = 32, kSkinThumbH = 24, kSkinThumbCap = 6;
  static constexpr int kSkinHeight = 56;

  explicit OrvHgeScrollArea(gcn::Widget* content);

  void SetImg(OrvHgeImage* img) { m_pImg = img; }
  void SetPressMoveLen(int len);
  // Scrolls so that the end of the content is in sight.
  void ScrollToEnd();
  // Parts of the bar in area coordinates (empty when no bar shows).
  gcn::Rectangle UpArrowRect() const;
  gcn::Rectangle DownArrowRect() const;
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
  int ArrowLength() const;
  void ScrollBy(int dy);
  void DrawSkin(OrvHgeGraphics* og, const gcn::Rectangle& up, const gcn::Rectangle& down,
                const gcn::Rectangle& track, const gcn::Rectangle& thumb);
  void DrawPlain(gcn::Graphics* g, const gcn::Rectangle& up, const gcn::Rectangle& down,
                 const gcn::Rectangle& track, const gcn::Rectangle& thumb);

  int m_pressMoveLen = kDefaultPressMoveLen;
  int m_lastContentHeight = -1;
  std::uint64_t m_lastRevision = 0;
  bool m_dragging = false;
  int m_dragOffset = 0;
};
