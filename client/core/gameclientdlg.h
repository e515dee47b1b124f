#pragma once
// CGameClientDlg: the game's dialog, the client's switchboard. The frame delivers every server
// message and the scene here; each record is checked against its size rule, then the goods
// store and the views are updated. The views ask for the three requests by window messages
// (WM_BUY_REQ, WM_BUY_ALL_REQ, WM_LIKE_REQ); the dialog sends them and runs the buy lock-out
// and the countdown timers on the main view.
#include <cstdint>
#include <string>
#include <string_view>

#include "client/core/oldgameframeview.h"
#include "client/views/orvgameclientview.h"
#include "platform/frame/gameframedlg.h"

struct CBSceneItem;

class CGameClientDlg : public CGameFrameDlg {
 public:
  CGameClientDlg();
  ~CGameClientDlg() override;

  // The three request messages, then the base's map.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The frame's rule button: shows or hides the rule window.
  void OnGameRule() override;
  CChatWiew* CreateChatView() override;
  bool OnQueryCanResize() override;
  bool OnEscapeKey() override;
  bool OnQueryCanLeave() override;
  void OnEventFrameReady() override;
  void OnEventFrameClosing() override;
  bool OnFrameMessage(std::uint16_t subCmd, const void* data, std::uint16_t size) override;
  void OnEventUserEnter(const tagUserData* user, std::uint16_t chairId, bool lookOn) override;
  bool OnGameMessage(std::uint16_t subCmd, const void* data, std::uint16_t size) override;
  bool OnGameScene(std::uint8_t status, bool lookOn, const void* data,
                   std::uint16_t size) override;
  bool IsValid() const override;

  // Request handlers; each answers 0.
  LRESULT OnBuyReq(WPARAM goodsId, LPARAM shares);
  LRESULT OnBuyAllReq(WPARAM goodsId, LPARAM unused);
  LRESULT OnLikeReq(WPARAM goodsId, LPARAM count);

  COrvGameClientView& GetGameClientView() { return m_GameClientView; }

  // The two texts composed from server records (GBK in, GBK out), into a kept buffer: valid
  // until the next call.
  const std::string& ComposeWonText(std::string_view nickname, std::uint32_t goodsNumber,
                                    std::string_view goodsName, std::uint32_t shares);
  const std::string& ComposeBuyText(std::uint32_t value, std::string_view goodsName,
                                    std::uint32_t shares);

 private:
  bool OnSubBuyResult(const void* data, std::uint16_t size);
  bool OnSubBuyNotify(const void* data, std::uint16_t size);
  bool OnSubAuctionResult(const void* data, std::uint16_t size);
  bool OnSubRecentlyResult(const void* data, std::uint16_t size);
  bool OnSubLuckyUser(const void* data, std::uint16_t size);
  bool OnSubAuctionStart(const void* data, std::uint16_t size);
  bool OnSubMyBuyRecord(const void* data, std::uint16_t size);
  bool OnSubGoodsList(const void* data, std::uint16_t size);
  bool OnSubLikeState(const void* data, std::uint16_t size);
  bool OnSubLikeUpdate(const void* data, std::uint16_t size);
  bool OnSubExchangeGoods(const void* data, std::uint16_t size);

  // Message view blocks (time text, composed text, a blank separator line) and the notice.
  void AddWinnerBlock(std::string_view timeGbk, std::string_view wonGbk);
  void AddPurchaseBlock(std::string_view timeGbk, std::string_view buyGbk);
  void Announce(std::string_view wonGbk);
  // Locks the buy controls until timer 1 or a result frees them.
  void StartBuyLockout();
  void Send(std::uint16_t subCmd, const void* record, std::uint16_t size);

  COldGameFrameView m_OldView;
  COrvGameClientView m_GameClientView;
  // Kept for their storage, so that a purchase or a result allocates nothing once warm: the
  // composed text, zero-terminated copies of record fields for its format, one view line.
  std::string m_composed;
  std::string m_nameArg, m_goodsArg;
  std::u16string m_line;
};
