#include "client/core/gameclientdlg.h"

#include <climits>
#include <cstdio>

#include "client/core/cmd_velmora.h"
#include "client/core/requestmessages.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "client/views/mychatview.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "client/views/viewtext.h"
#include "platform/text/textconv.h"

namespace {

const std::string kWonFormat = plat::Utf8ToGbk("玩家%s购买%u号商品 %s %u份，并一举中奖，恭喜！");
const std::string kBuyFormat = plat::Utf8ToGbk("购买价值%u元的 %s %u份");
const std::u16string kSeparatorLine = u" ";
const char kExchangeTrace[] = "替换下架商品OnSubExchangeGoods\n";

// Message-box kind of each purchase result code 1..8; 0 and larger codes show nothing.
constexpr std::uint16_t kBuyResultBox[] = {
    MSGBOX_NONE,          MSGBOX_NO_USER,      MSGBOX_NO_GOODS,     MSGBOX_NO_AUCTION_GOODS,
    MSGBOX_NOT_CURRENT,   MSGBOX_TIME_OVER,    MSGBOX_SHARES_SHORT, MSGBOX_COINS_SHORT,
    MSGBOX_BAD_SHARES,
};

// The item in a 1-based slot taken from the wire; slot 0 and absurd values name nothing.
CBSceneItem* ItemInSlot(std::uint32_t slot) {
  if (slot == 0 || slot > static_cast<std::uint32_t>(INT_MAX)) return nullptr;
  return GetBuyData().GetItemBySlot(static_cast<int>(slot - 1));
}

bool IsLocalUser(const tagUserData& me, std::uint32_t userId) { return me.dwUserID == userId; }

}  // namespace

CGameClientDlg::CGameClientDlg() : CGameFrameDlg(&m_OldView) {
  m_cbWidgetView = 1;
  SetOrvGameView(&m_GameClientView);
}

// Members go in reverse order: the main view first, then the classic view, then the base.
CGameClientDlg::~CGameClientDlg() = default;

LRESULT CGameClientDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_BUY_REQ:
      return OnBuyReq(wParam, lParam);
    case WM_BUY_ALL_REQ:
      return OnBuyAllReq(wParam, lParam);
    case WM_LIKE_REQ:
      return OnLikeReq(wParam, lParam);
    default:
      return CGameFrameDlg::WindowProc(message, wParam, lParam);
  }
}

void CGameClientDlg::OnGameRule() { m_GameClientView.ToggleRuleWindow(); }

CChatWiew* CGameClientDlg::CreateChatView() { return new CMyChatView(); }

// The picture scales into any window size, so the player may resize and maximise it.
bool CGameClientDlg::OnQueryCanResize() { return true; }

bool CGameClientDlg::OnEscapeKey() { return m_GameClientView.CloseTopWindow(); }

bool CGameClientDlg::OnQueryCanLeave() { return true; }

void CGameClientDlg::OnEventFrameReady() {}

void CGameClientDlg::OnEventFrameClosing() {}

bool CGameClientDlg::OnFrameMessage(std::uint16_t, const void*, std::uint16_t) { return false; }

void CGameClientDlg::OnEventUserEnter(const tagUserData*, std::uint16_t, bool) {}

bool CGameClientDlg::IsValid() const { return CGameFrameDlg::IsValid(); }

bool CGameClientDlg::OnGameMessage(std::uint16_t subCmd, const void* data, std::uint16_t size) {
  switch (subCmd) {
    case SUB_S_BUY_RESULT:
      return OnSubBuyResult(data, size);
    case SUB_S_BUY_NOTIFY:
      return OnSubBuyNotify(data, size);
    case SUB_S_AUCTION_RESULT:
      return OnSubAuctionResult(data, size);
    case SUB_S_RECENTLY_RESULT:
      return OnSubRecentlyResult(data, size);
    case SUB_S_LUCKY_USER:
      return OnSubLuckyUser(data, size);
    case SUB_S_AUCTION_START:
      return OnSubAuctionStart(data, size);
    case SUB_S_MY_BUY_RECORD:
      return OnSubMyBuyRecord(data, size);
    case SUB_S_GOODS_LIST:
      return OnSubGoodsList(data, size);
    case SUB_S_LIKE_STATE:
      return OnSubLikeState(data, size);
    case SUB_S_LIKE_UPDATE:
      return OnSubLikeUpdate(data, size);
    case SUB_S_EXCHANGE_GOODS:
      return OnSubExchangeGoods(data, size);
    default:
      return false;
  }
}

bool CGameClientDlg::OnGameScene(std::uint8_t status, bool, const void* data,
                                 std::uint16_t size) {
  if (status != SCENE_STATUS_FREE && status != SCENE_STATUS_PLAY) return false;
  // A scene starts every entry, a reconnect's too, and the server follows it with the whole
  // lucky-user and purchase lists: start them afresh rather than append them twice.
  MessageView* view = m_GameClientView.GetMessageView();
  if (view != nullptr && ReadServerList<SUB_S_GOODS_LIST>(data, size)) view->ClearLines();
  return OnSubGoodsList(data, size);
}

const std::string& CGameClientDlg::ComposeWonText(std::string_view nickname,
                                                  std::uint32_t goodsNumber,
                                                  std::string_view goodsName, std::uint32_t shares) {
  m_nameArg.assign(nickname);
  m_goodsArg.assign(goodsName);
  FormatTextInto(m_composed, kWonFormat.c_str(), m_nameArg.c_str(), goodsNumber, m_goodsArg.c_str(),
                 shares);
  return m_composed;
}

const std::string& CGameClientDlg::ComposeBuyText(std::uint32_t value, std::string_view goodsName,
                                                  std::uint32_t shares) {
  m_goodsArg.assign(goodsName);
  FormatTextInto(m_composed, kBuyFormat.c_str(), value, m_goodsArg.c_str(), shares);
  return m_composed;
}

void CGameClientDlg::AddWinnerBlock(std::string_view timeGbk, std::string_view wonGbk) {
  MessageView* view = m_GameClientView.GetMessageView();
  if (view == nullptr) return;
  plat::GbkToUtf16Into(timeGbk, m_line);
  view->AddLuckyUserLine(m_line);
  plat::GbkToUtf16Into(wonGbk, m_line);
  view->AddLuckyUserLine(m_line);
  view->AddLuckyUserLine(kSeparatorLine);
}

void CGameClientDlg::AddPurchaseBlock(std::string_view timeGbk, std::string_view buyGbk) {
  MessageView* view = m_GameClientView.GetMessageView();
  if (view == nullptr) return;
  plat::GbkToUtf16Into(timeGbk, m_line);
  view->AddMyBuyLine(m_line);
  plat::GbkToUtf16Into(buyGbk, m_line);
  view->AddMyBuyLine(m_line);
  view->AddMyBuyLine(kSeparatorLine);
}

void CGameClientDlg::Announce(std::string_view wonGbk) {
  CSystemNotice::AddNotice(wonGbk, true, CSystemNotice::kBandX, CSystemNotice::kBandY);
  CSystemNotice::RememberText(wonGbk);
}

bool CGameClientDlg::OnSubBuyResult(const void* data, std::uint16_t size) {
  const auto rsp = ReadServerRecord<SUB_S_BUY_RESULT>(data, size);
  if (!rsp) return false;
  const std::size_t code = rsp->result;
  if (code < sizeof(kBuyResultBox) / sizeof(kBuyResultBox[0]) && kBuyResultBox[code] != MSGBOX_NONE)
    GetMsgBox().ShowKind(kBuyResultBox[code]);
  GetBuyPanel().ResetToMinimum();
  return true;
}

bool CGameClientDlg::OnSubBuyNotify(const void* data, std::uint16_t size) {
  const auto ntf = ReadServerRecord<SUB_S_BUY_NOTIFY>(data, size);
  if (!ntf) return false;
  CBSceneItem* item = GetBuyData().GetItemById(ntf->goodsId);
  if (item == nullptr) return true;
  item->soldShares += ntf->shares;
  GetBuyPanel().ClampToRemaining();

  const tagUserData* me = GetMeUserData();
  if (me == nullptr) return false;
  if (IsLocalUser(*me, ntf->userId)) {
    item->heldShares += ntf->shares;
    CMsgBox& box = GetMsgBox();
    box.SetBoughtCount(static_cast<std::int32_t>(ntf->shares));
    box.ShowKind(MSGBOX_BUY_SUCCESS);
    AddPurchaseBlock(FieldTextView(ntf->buyTime),
                     ComposeBuyText(item->goodsValue, FieldTextView(item->goodsName), ntf->shares));
  }
  return true;
}

bool CGameClientDlg::OnSubAuctionResult(const void* data, std::uint16_t size) {
  const auto ntf = ReadServerRecord<SUB_S_AUCTION_RESULT>(data, size);
  if (!ntf) return false;
  if (ntf->kind != AUCTION_RESULT_WON && ntf->kind != AUCTION_RESULT_FAILED) return false;

  CMsgBox& box = GetMsgBox();
  box.SetGoodsNumber(static_cast<std::int32_t>(ntf->goodsNumber));
  box.SetNextGoodsNumber(static_cast<std::int32_t>(ntf->nextGoodsNumber));
  // A lot that is not stored still gets its box; its texts then carry the record's number, an
  // empty goods name and no shares left.
  CBSceneItem* item = GetBuyData().GetItemByNumber(ntf->goodsNumber);

  if (ntf->kind == AUCTION_RESULT_FAILED) {
    if (item != nullptr) item->state = GOODS_STATE_FAILED;
    const std::uint32_t left = item != nullptr ? CBuyPanel::SharesLeft(*item) : 0;
    box.SetFailedShares(static_cast<std::int32_t>(left));
    box.ShowKind(MSGBOX_AUCTION_FAILED);
    return true;
  }

  const std::string_view winner = FieldTextView(ntf->winnerNickname);
  const std::string_view goodsName = item != nullptr ? FieldTextView(item->goodsName) : std::string_view();
  const std::uint32_t goodsNumber = item != nullptr ? item->goodsNumber : ntf->goodsNumber;
  const std::string& won = ComposeWonText(winner, goodsNumber, goodsName, ntf->winnerShares);
  AddWinnerBlock(FieldTextView(ntf->drawTime), won);
  Announce(won);
  if (item != nullptr) item->state = GOODS_STATE_SOLD;
  box.SetWinnerName(winner);
  box.SetGoodsName(goodsName);

  const tagUserData* me = GetMeUserData();
  if (me == nullptr) return false;
  box.ShowKind(winner == me->szNickName ? MSGBOX_I_WON : MSGBOX_OTHER_WON);
  return true;
}

bool CGameClientDlg::OnSubRecentlyResult(const void* data, std::uint16_t size) {
  if (!ReadServerList<SUB_S_RECENTLY_RESULT>(data, size)) return false;
  GetSellRecord().SetRecords(data, size);
  return true;
}

bool CGameClientDlg::OnSubLuckyUser(const void* data, std::uint16_t size) {
  const auto list = ReadServerList<SUB_S_LUCKY_USER>(data, size);
  if (!list) return false;
  for (std::size_t i = 0; i < list->Count(); ++i) {
    const CMD_GF_VELMORA_LUCKY_USER_RSP rec = (*list)[i];
    const std::string& won = ComposeWonText(FieldTextView(rec.winnerNickname), rec.goodsNumber,
                                            FieldTextView(rec.goodsName), rec.winnerShares);
    AddWinnerBlock(FieldTextView(rec.drawTime), won);
    Announce(won);
  }
  return true;
}

bool CGameClientDlg::OnSubAuctionStart(const void* data, std::uint16_t size) {
  const auto ntf = ReadServerRecord<SUB_S_AUCTION_START>(data, size);
  if (!ntf) return false;
  CBSceneItem* item = GetBuyData().GetItemByNumber(ntf->goodsNumber);
  if (item == nullptr) return false;
  item->state = GOODS_STATE_SELLING;
  return true;
}

bool CGameClientDlg::OnSubMyBuyRecord(const void* data, std::uint16_t size) {
  const auto list = ReadServerList<SUB_S_MY_BUY_RECORD>(data, size);
  if (!list) return false;
  for (std::size_t i = 0; i < list->Count(); ++i) {
    const CMD_GF_VELMORA_MY_BUY_RECORD_RSP rec = (*list)[i];
    AddPurchaseBlock(FieldTextView(rec.buyTime),
                     ComposeBuyText(rec.goodsValue, FieldTextView(rec.goodsName), rec.shares));
  }
  return true;
}

bool CGameClientDlg::OnSubGoodsList(const void* data, std::uint16_t size) {
  if (!ReadServerList<SUB_S_GOODS_LIST>(data, size)) return true;  // ignored, not rejected
  GetBuyData().UpdateData(data, size);
  CBuyPanel& panel = GetBuyPanel();
  panel.ShowControls(true);
  panel.ResetToMinimum();
  // A box still open (the last lot's result) keeps the panel locked until it is closed.
  if (GetMsgBox().isVisible()) panel.EnableInput(false);
  // Restart the countdown so its ticks line up with the new list.
  m_GameClientView.KillTimer(IDT_COUNTDOWN);
  m_GameClientView.SetTimer(IDT_COUNTDOWN, kCountdownMs);
  return true;
}

bool CGameClientDlg::OnSubLikeState(const void* data, std::uint16_t size) {
  const auto list = ReadServerList<SUB_S_LIKE_STATE>(data, size);
  for (std::size_t i = 0; list && i < list->Count(); ++i) {
    const CMD_GF_VELMORA_LIKE_STATE_ENTRY e = (*list)[i];
    if (e.goodsId == 0 && e.liked == 0 && e.likeCount == 0) continue;
    CBSceneItem* item = GetBuyData().GetItemById(e.goodsId);
    if (item == nullptr || item->state != GOODS_STATE_CANDIDATE) continue;
    if (e.likeCount != 0) item->likeCount = e.likeCount;
    m_GameClientView.setClickLikeForPlayer(e.goodsId, e.liked);
  }
  return true;
}

bool CGameClientDlg::OnSubLikeUpdate(const void* data, std::uint16_t size) {
  const auto list = ReadServerList<SUB_S_LIKE_UPDATE>(data, size);
  for (std::size_t i = 0; list && i < list->Count(); ++i) {
    const CMD_GF_VELMORA_LIKE_UPDATE_ENTRY e = (*list)[i];
    if (e.goodsId == 0) continue;
    CBSceneItem* item = GetBuyData().GetItemById(e.goodsId);
    if (e.likeCount == 0) m_GameClientView.setClickLikeForPlayer(e.goodsId, 0);
    if (item != nullptr && item->state == GOODS_STATE_CANDIDATE) item->likeCount = e.likeCount;
  }
  return true;
}

bool CGameClientDlg::OnSubExchangeGoods(const void* data, std::uint16_t size) {
  std::fputs(kExchangeTrace, stdout);
  const auto list = ReadServerList<SUB_S_EXCHANGE_GOODS>(data, size);
  CMD_GF_VELMORA_GOODS_ITEM record;
  if (!list || !list->Get(0, &record)) return true;
  CBSceneItem* item = ItemInSlot(record.slot);
  if (item == nullptr) return true;
  static_cast<CMD_GF_VELMORA_GOODS_ITEM&>(*item) = record;
  m_GameClientView.setClickLikeForPlayer(record.goodsId, 0);
  return true;
}

void CGameClientDlg::StartBuyLockout() {
  m_GameClientView.KillTimer(IDT_BUY_COOLDOWN);
  GetBuyPanel().EnableInput(false);
  m_GameClientView.SetTimer(IDT_BUY_COOLDOWN, kBuyCooldownMs);
}

void CGameClientDlg::Send(std::uint16_t subCmd, const void* record, std::uint16_t size) {
  SendData(subCmd, record, size, MAIN_CMD_GAME);  // the answer comes as a server message
}

LRESULT CGameClientDlg::OnBuyReq(WPARAM goodsId, LPARAM shares) {
  StartBuyLockout();
  const CMD_GF_VELMORA_BUY_REQ req =
      MakeBuyRequest(static_cast<std::uint32_t>(goodsId), static_cast<std::uint32_t>(shares));
  Send(SUB_C_BUY, &req, sizeof(req));
  return 0;
}

LRESULT CGameClientDlg::OnBuyAllReq(WPARAM goodsId, LPARAM) {
  StartBuyLockout();
  const CMD_GF_VELMORA_BUY_ALL_REQ req = MakeBuyAllRequest(static_cast<std::uint32_t>(goodsId));
  Send(SUB_C_BUY_ALL, &req, sizeof(req));
  return 0;
}

LRESULT CGameClientDlg::OnLikeReq(WPARAM goodsId, LPARAM count) {
  CMD_GF_VELMORA_LIKE_REQ req = MakeLikeRequest(static_cast<std::uint32_t>(goodsId));
  req.likeCount = static_cast<std::uint32_t>(count);
  Send(SUB_C_LIKE, &req, sizeof(req));
  return 0;
}
