#pragma once
// CBuyPanel: the centre of the game screen. Shows the lot on sale (picture, name, shares, the
// player's holding and chance of winning) and lets the player choose a share count and buy.
//
// A plain object drawn onto the main view: its three buttons and the share field live on the
// main view, which passes their clicks (OnCommand) and the field's events (OnEditAction) on.
// A purchase goes to the dialog as WM_BUY_REQ, sent synchronously to the main window. One
// process-wide instance (GetBuyPanel); Create runs once, from the main view's set-up.
#include <cstdint>
#include <memory>
#include <string>

#include <guichan/actionevent.hpp>
#include <guichan/graphics.hpp>

struct CBSceneItem;
class CMyEdit;
class OrvHgeButton;
class OrvHgeFont;
class OrvHgeGraphics;
class OrvHgeImage;
class OrvHgeWindow;

class CBuyPanel {
 public:
  static constexpr int kOriginX = 296;
  static constexpr int kOriginY = 111;
  static constexpr int kBuyButtonId = 101;
  static constexpr int kAddButtonId = 102;
  static constexpr int kReduceButtonId = 103;

  CBuyPanel();
  ~CBuyPanel();
  CBuyPanel(const CBuyPanel&) = delete;
  CBuyPanel& operator=(const CBuyPanel&) = delete;

  // Builds images, buttons, fonts and the share field on `parent` (the main view). Only the
  // first call with a parent does anything until Detach.
  void Create(OrvHgeWindow* parent);
  // The main view is going away: forget it, so nothing later reaches the dead window and a new
  // view can Create the panel again.
  void Detach(OrvHgeWindow* parent);
  void Draw(gcn::Graphics* g);
  // Buttons 101 to 103: handled, answers true; any other id answers false.
  bool OnCommand(int id);
  // Events of the share field answer true; events of other sources false.
  bool OnEditAction(const gcn::ActionEvent& event);
  void EnableInput(bool on);
  void ShowControls(bool on);
  void ResetToMinimum();
  void ClampToRemaining();
  // Whether the main-view point lies on the goods picture (bounds included).
  bool HitTestPicture(int x, int y) const;
  // The smallest purchase the current lot allows; never more than its shares left.
  std::uint32_t GetMinShares() const;
  // Re-evaluates the chosen shares, the field text and the button states.
  void RefreshInput();

  std::uint32_t GetChosenShares() const { return m_chosenShares; }
  // Why the buy button is grey, one short GBK line; empty while it is enabled, hidden, or
  // only locked for a moment by a request on its way.
  std::string BuyDisabledReason() const;
  // The same into `out`, reusing its storage (drawing allocates nothing per frame).
  void ComposeBuyDisabledReason(std::string& out) const;
  bool IsShown() const { return m_shown; }
  // The controls (null before Create).
  OrvHgeButton* BuyButton() const { return m_buyButton.get(); }
  OrvHgeButton* AddButton() const { return m_addButton.get(); }
  OrvHgeButton* ReduceButton() const { return m_reduceButton.get(); }
  CMyEdit* ShareField() const { return m_shareField.get(); }

  // Shares of a lot still on sale: 0 when as many or more were sold than it has.
  static std::uint32_t SharesLeft(const CBSceneItem& lot);
  // The share field's text as a count: leading digits in decimal, saturating at the largest
  // count; anything else (also a sign) reads as 0.
  static std::uint32_t ParseShares(const std::string& text);

 private:
  enum ImageSlot { kGoodsNumImage, kEditBgImage, kTxtTimeImage, kTimeQuoteImage, kTimeNumImage, kImageCount };

  void ShowChosenInField();
  void SetEnabled(OrvHgeButton* button, bool on);
  // The lot's seconds left as "MM:SS" in the digit strip, right of the buy button.
  void DrawCountdown(OrvHgeGraphics* og, const CBSceneItem& lot);

  OrvHgeImage* m_picture = nullptr;
  std::unique_ptr<OrvHgeImage> m_images[kImageCount];
  std::unique_ptr<OrvHgeButton> m_buyButton;
  std::unique_ptr<OrvHgeButton> m_addButton;
  std::unique_ptr<OrvHgeButton> m_reduceButton;
  std::unique_ptr<OrvHgeFont> m_labelFont;
  std::unique_ptr<OrvHgeFont> m_noteFont;
  std::unique_ptr<OrvHgeFont> m_titleFont;
  std::unique_ptr<OrvHgeFont> m_editFont;
  std::unique_ptr<CMyEdit> m_shareField;
  std::string m_text;
  std::string m_reason;
  std::uint32_t m_chosenShares = 0;
  bool m_shown = false;
  OrvHgeWindow* m_parent = nullptr;
};

// The process-wide buy panel.
CBuyPanel& GetBuyPanel();
