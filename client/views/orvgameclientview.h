#pragma once
// COrvGameClientView: the game area. Draws the background, the local player's card, the
// candidate tiles, the buy panel and the goods description; places the shared game windows
// (message box, sales history, rule window) on itself; turns hovering into goods descriptions
// and clicks on like buttons into like requests. The dialog runs its two timers on it.
#include <cstdint>
#include <memory>
#include <string>

#include <guichan/actionevent.hpp>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

#include "client/views/goodsitem.h"
#include "platform/frame/orvgameframeview.h"

class MessageView;
class OrvHgeButton;
class OrvHgeFont;
class OrvHgeImage;

class COrvGameClientView : public COrvGameFrameView {
 public:
  static constexpr int kMailButtonId = 100;
  // Opens the sales history window; nothing else does.
  static constexpr int kHistoryButtonId = 107;
  // Like clicks look at the first six slots only.
  static constexpr int kLikeSlots = 6;

  COrvGameClientView();
  ~COrvGameClientView() override;

  void draw(gcn::Graphics* g) override;
  void OnCommand(int id) override;
  void OnTimer(unsigned id) override;
  void drawExLayer(gcn::Graphics* g) override;
  void InitResource() override;
  int GetCursorShape() override;
  void mouseClicked(gcn::MouseEvent& e) override;
  void mouseMoved(gcn::MouseEvent& e) override;
  void action(const gcn::ActionEvent& e) override;
  bool IsValid() const override;

  // Marks (liked != 0) or clears the liked mark of the tile showing that goods item.
  void setClickLikeForPlayer(std::uint32_t goodsId, std::uint32_t liked);
  void ToggleRuleWindow();
  // Escape: closes the topmost open game window (rules over sales history over the message
  // box, as they are drawn); the message box goes as its cancel or OK button would close it.
  // Answers whether a window was closed.
  bool CloseTopWindow();
  // Whether a game window (or the frame's bank window) lies over the game.
  static bool IsWindowOpen();
  // Null before InitResource.
  MessageView* GetMessageView() const { return m_pMessageView.get(); }

  // Tile t, or null when t is no tile index (tests and the gallery).
  CGoodsItem* GetTile(std::uint32_t t) { return GoodsTileAt(m_tiles, t); }
  OrvHgeButton* MailButton() const { return m_pMailButton.get(); }
  OrvHgeButton* HistoryButton() const { return m_pHistoryButton.get(); }

 private:
  struct Anchor {
    int x;
    int y;
  };

  void DrawPlayerCard(gcn::Graphics* g);
  // Adds one of the shared game windows 130 pixels left of centre, hidden.
  void PlaceHidden(gcn::Widget& window);
  // Decides what the description callout shows for a pointer at (x, y).
  void DescribeAt(int x, int y);
  // The callout goes when a window opens over it or when what it describes changed or left.
  void HideStaleDescription();

  std::unique_ptr<MessageView> m_pMessageView;
  CGoodsItem m_tiles[kGoodsTileCount];
  Anchor m_anchors[kGoodsTileCount];
  std::unique_ptr<OrvHgeImage> m_pBackground;
  std::unique_ptr<OrvHgeFont> m_pCardFont;
  std::string m_text;
  std::unique_ptr<OrvHgeButton> m_pMailButton;
  std::unique_ptr<OrvHgeButton> m_pHistoryButton;
  plat::LiveMark<COrvGameClientView> m_live{this};
};
