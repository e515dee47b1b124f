#pragma once
// CMsgBox: the game's single pop-up for purchase results, confirmations, lot results and like
// confirmations. A child window of the main view; the kind chosen with ShowKind decides the
// text, images and buttons. While it is open the buy panel's controls are locked.
// Callers set the fields first and then call ShowKind. One process-wide instance (GetMsgBox).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <guichan/graphics.hpp>

#include "platform/toolkit/ibtndrawsink.h"
#include "platform/toolkit/orvhgewindow.h"

class OrvHgeButton;
class OrvHgeFont;
class OrvHgeImage;

enum MsgBoxKind : std::uint16_t {
  MSGBOX_COINS_SHORT = 0,
  MSGBOX_SHARES_SHORT = 1,
  MSGBOX_BUY_SUCCESS = 2,
  MSGBOX_OTHER_WON = 3,
  MSGBOX_I_WON = 4,
  MSGBOX_AUCTION_FAILED = 5,
  MSGBOX_NO_USER = 6,
  MSGBOX_NO_GOODS = 7,
  MSGBOX_NO_AUCTION_GOODS = 8,
  MSGBOX_NOT_CURRENT = 9,
  MSGBOX_TIME_OVER = 10,
  MSGBOX_BAD_SHARES = 11,
  MSGBOX_LIKED = 12,
  MSGBOX_LIKE_REPEAT = 13,
  MSGBOX_NONE = 14,
};

class CMsgBox : public OrvHgeWindow, public IBtnDrawSink {
 public:
  static constexpr int kOkButtonId = 108;
  static constexpr int kBuyAllButtonId = 109;
  static constexpr int kCancelButtonId = 110;

  CMsgBox();
  ~CMsgBox() override;

  // Loads the images, takes the background's size, creates the hidden buttons and the font.
  // Only the first call does anything.
  void Create();
  // Opens the box with `kind` (0..13; larger kinds are ignored) and locks the buy panel.
  void ShowKind(std::uint16_t kind);
  // Clears the fields (not the custom text), hides the box and unlocks the buy panel.
  void Close();

  void SetBoughtCount(std::int32_t shares) { m_boughtCount = shares; }
  void SetGoodsNumber(std::int32_t number) { m_goodsNumber = number; }
  void SetNextGoodsNumber(std::int32_t number) { m_nextGoodsNumber = number; }
  void SetFailedShares(std::int32_t shares) { m_failedShares = shares; }
  void SetWinnerName(std::string_view gbk) { m_winnerName.assign(gbk); }
  void SetGoodsName(std::string_view gbk) { m_goodsName.assign(gbk); }
  void SetCustomText(const std::string& gbk) { m_customText = gbk; }

  std::uint16_t GetKind() const { return m_kind; }
  std::int32_t GetBoughtCount() const { return m_boughtCount; }
  std::int32_t GetGoodsNumber() const { return m_goodsNumber; }
  std::int32_t GetNextGoodsNumber() const { return m_nextGoodsNumber; }
  std::int32_t GetFailedShares() const { return m_failedShares; }
  const std::string& GetWinnerName() const { return m_winnerName; }
  const std::string& GetGoodsName() const { return m_goodsName; }
  const std::string& GetCustomText() const { return m_customText; }
  OrvHgeButton* OkButton() const { return m_okButton.get(); }
  OrvHgeButton* BuyAllButton() const { return m_buyAllButton.get(); }
  OrvHgeButton* CancelButton() const { return m_cancelButton.get(); }

  void draw(gcn::Graphics* g) override;
  void OnCommand(int id) override;
  bool DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) override;

 private:
  void DrawContent(gcn::Graphics* g);
  void DrawNextGoodsLines(gcn::Graphics* g);
  // Draws a text whose '\n' start new lines, each line placed like a one-line text.
  void DrawLines(gcn::Graphics* g, const std::string& text, int x, int y, int align);
  std::unique_ptr<OrvHgeButton> MakeButton(int id, int x, int y);

  std::unique_ptr<OrvHgeImage> m_background;
  std::unique_ptr<OrvHgeImage> m_successIcon;
  std::unique_ptr<OrvHgeImage> m_nextGoodsStrip;
  std::unique_ptr<OrvHgeButton> m_okButton;
  std::unique_ptr<OrvHgeButton> m_buyAllButton;
  std::unique_ptr<OrvHgeButton> m_cancelButton;
  std::unique_ptr<OrvHgeFont> m_font;
  std::string m_line;  // one line of the text being drawn, kept for its storage
  std::uint16_t m_kind = MSGBOX_NONE;
  std::int32_t m_boughtCount = 0;
  std::int32_t m_goodsNumber = 0;
  std::string m_goodsName;
  std::int32_t m_failedShares = 0;
  std::int32_t m_nextGoodsNumber = 0;
  std::string m_winnerName;
  std::string m_text;
  std::string m_customText;
};

// The process-wide message box.
CMsgBox& GetMsgBox();
