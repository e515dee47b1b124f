#pragma once
// An image button.
//
// Callers may rely on:
//  - the image is a horizontal strip of four frames of equal width: normal, hover, pressed,
//    disabled; the button is one frame in size (a missing image gives a 0 x 0 button that
//    cannot be hit);
//  - the button adds itself to its parent at (x, y); a click (press and release of the left
//    button on it) calls OnCommand(id) of the window it belongs to, also when no mouse move
//    came before the press (scripted input); disabled or hidden buttons ignore clicks;
//  - the click is delivered once guichan has finished with the mouse input of the frame (see
//    plat::ClickQueue), still inside the same gcn::Gui::logic, so OnCommand may delete the
//    button;
//  - SetDefaultBmpIndex(i, true) shows frame i whatever the state until ClearDefaultBmpIndex;
//    SetDefaultBmpIndex(i, false) makes i the resting frame in place of 0 (hover, pressed and
//    disabled still show); an index outside 0..3 is ignored;
//  - after the frame the draw sink (if any) draws the caption; without one, or when it
//    answers false, a non-empty caption is drawn centred with the button's font;
//  - buttons never take the keyboard focus and ignore keys;
//  - flag: passed on to the button's OrvHgeImage.
// The button owns its image; it does not own the sink.
#include <memory>
#include <string>

#include <guichan/event.hpp>
#include <guichan/keyevent.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/widgetlistener.hpp>
#include <guichan/widgets/button.hpp>

class IBtnDrawSink;
class OrvHgeImage;
class OrvHgeWindow;

class OrvHgeButton : public gcn::Button, public gcn::WidgetListener {
 public:
  static constexpr int kFrameCount = 4;
  enum Frame { kFrameNormal = 0, kFrameHover = 1, kFramePressed = 2, kFrameDisabled = 3 };

  OrvHgeButton(OrvHgeWindow* parent, int id, const char* imagePath, int x, int y, bool flag);
  ~OrvHgeButton() override;
  OrvHgeButton(const OrvHgeButton&) = delete;
  OrvHgeButton& operator=(const OrvHgeButton&) = delete;

  int GetID() const { return m_id; }
  void SetDrawSink(IBtnDrawSink* s) { m_sink = s; }
  void SetDefaultBmpIndex(int index, bool hold);
  void ClearDefaultBmpIndex();
  // Frame drawn in the current state.
  int CurrentFrame() const;
  const OrvHgeImage* Image() const { return m_image.get(); }

  void draw(gcn::Graphics* g) override;
  void mousePressed(gcn::MouseEvent& e) override;
  void mouseReleased(gcn::MouseEvent& e) override;
  void mouseEntered(gcn::MouseEvent& e) override;
  void mouseExited(gcn::MouseEvent& e) override;
  void mouseDragged(gcn::MouseEvent& e) override;
  void keyPressed(gcn::KeyEvent& e) override;
  void keyReleased(gcn::KeyEvent& e) override;

  // gcn::WidgetListener: a hidden button forgets hover and press (guichan sends no exit).
  void widgetHidden(const gcn::Event& e) override;

  // Delivers a queued click (plat::ClickQueue): action listeners, then the window's OnCommand.
  // Nothing when the button was disabled or hidden meanwhile.
  void FireClick();

 private:
  int m_id;
  std::unique_ptr<OrvHgeImage> m_image;
  IBtnDrawSink* m_sink = nullptr;
  int m_defaultIndex = -1;
  bool m_hold = false;
};
