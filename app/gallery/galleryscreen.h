#pragma once
// The gallery's test screen: every part of the widget toolkit on one 1280 x 720 screen.
#include <memory>
#include <string>
#include <vector>

#include "app/gallery/fallbackart.h"
#include "platform/toolkit/ibtndrawsink.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgeedit.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgescrollarea.h"
#include "platform/toolkit/orvhgetextbox.h"
#include "platform/toolkit/orvhgewindow.h"
#include "platform/toolkit/sdlguiinput.h"

namespace gallery {

class GalleryScreen : public OrvHgeWindow, public IBtnDrawSink {
 public:
  static constexpr int kWidth = 1280, kHeight = 720;
  static constexpr unsigned kTickTimer = 1;
  static constexpr unsigned kTickMs = 16;  // one frame of the headless run
  enum ButtonId { kBtnClick = 1, kBtnHover = 2, kBtnHeld = 3, kBtnDisabled = 4 };

  GalleryScreen();
  ~GalleryScreen() override;

  // Queues the demonstration input: typing into the edit field, clicks, a hover.
  void QueueDemoInput(plat::SdlGuiInput& input) const;

  void draw(gcn::Graphics* g) override;
  void drawExLayer(gcn::Graphics* g) override;
  void OnCommand(int id) override;
  void OnTimer(unsigned id) override;
  void action(const gcn::ActionEvent& e) override;
  bool DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) override;

  int Clicks() const { return m_clicks; }
  int LastCommand() const { return m_lastCommand; }
  int Ticks() const { return m_ticks; }

 private:
  void DrawFonts(gcn::Graphics* g);
  void DrawImages(gcn::Graphics* g);
  void DrawClippedQuad(gcn::Graphics* g);
  void DrawStatus(gcn::Graphics* g);
  void Panel(gcn::Graphics* g, int x, int y, int w, int h);
  std::unique_ptr<OrvHgeImage> LoadOr(const char* asset, const std::string& fallback, bool flag);

  FallbackArt m_art;
  std::unique_ptr<OrvHgeImage> m_background, m_picture, m_editBg, m_scrollSkin;
  std::string m_buttonPath;
  std::vector<std::unique_ptr<OrvHgeFont>> m_fonts;  // 12, 14, 20 px, one-bit then gray
  std::unique_ptr<OrvHgeFont> m_title, m_label, m_caption;
  std::vector<std::unique_ptr<OrvHgeButton>> m_buttons;
  std::unique_ptr<OrvHgeEdit> m_edit;
  std::unique_ptr<OrvHgeTextBox> m_text;
  std::unique_ptr<OrvHgeScrollArea> m_scroll;
  int m_clicks = 0;
  int m_lastCommand = 0;
  int m_ticks = 0;
  int m_changeEvents = 0;
  int m_enterEvents = 0;
};

}  // namespace gallery
