#pragma once
// CGameRule: the rule window, one prepared picture with a close button in its top-right
// corner. A child window of the main view, created hidden; the main view's ToggleRuleWindow
// (the frame's rule hook) shows and hides it, the close button hides it.
// One process-wide instance (GetGameRule).
#include <memory>

#include <guichan/graphics.hpp>

#include "platform/toolkit/orvhgewindow.h"

class OrvHgeButton;
class OrvHgeImage;

class CGameRule : public OrvHgeWindow {
 public:
  static constexpr int kCloseButtonId = 112;

  CGameRule();
  ~CGameRule() override;

  // Loads the picture, takes its size and places the close button 3 pixels from the right
  // edge and 4 from the top. Only the first call does anything.
  void Create();

  void draw(gcn::Graphics* g) override;
  void OnCommand(int id) override;

  OrvHgeButton* CloseButton() const { return m_closeButton.get(); }

 private:
  std::unique_ptr<OrvHgeImage> m_picture;
  std::unique_ptr<OrvHgeButton> m_closeButton;
};

// The process-wide rule window.
CGameRule& GetGameRule();
