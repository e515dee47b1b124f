#pragma once
// The frame's bank window: shows the local player's coins at hand and in the bank. Hidden
// until the player opens it (F2, when the application allows the bank window); a click on it
// closes it. While it is visible the game ignores hovering.
#include <memory>

#include <guichan/mouseevent.hpp>

#include "platform/frame/framebuttonsink.h"
#include "platform/toolkit/orvhgewindow.h"

class OrvHgeButton;
class OrvHgeFont;

class CBankView : public OrvHgeWindow {
 public:
  static constexpr int kWidth = 360;
  static constexpr int kHeight = 180;

  // The process has one; never null.
  static CBankView* GetInstance();

  static constexpr int kCloseButtonId = 2;

  void Toggle() { setVisible(!isVisible()); }
  void draw(gcn::Graphics* g) override;
  void mouseClicked(gcn::MouseEvent& e) override;
  // The close button (made at the first draw, when images can be loaded).
  void OnCommand(int id) override;
  OrvHgeButton* CloseButton() const { return m_close.get(); }

 private:
  CBankView();
  ~CBankView() override;
  void DrawLine(gcn::Graphics* g, const std::string& labelUtf8, unsigned value, int y);

  std::unique_ptr<OrvHgeFont> m_font;
  plat::FrameButtonSink m_closeSink;
  std::unique_ptr<OrvHgeButton> m_close;
};
