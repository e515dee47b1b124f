#include "client/views/orvgameclientview.h"

#include <cstdio>

#include "client/core/requestmessages.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "client/views/viewtext.h"
#include "platform/frame/bankview.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/globalunits.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr const char* kBackgroundPath = "Velmora/Image/Bg.jpg";
constexpr const char* kMailButtonPath = "Velmora/Image/BtMail.png";
constexpr int kMailButtonX = 1145, kMailButtonY = 85;
constexpr int kCardFontSize = 12;
// The history button sits on the player card, right of the name plate.
constexpr const char* kHistoryButtonPath = "Velmora/Image/BtHistory.png";
constexpr int kHistoryButtonX = 1150, kHistoryButtonY = 175;

// Tiles sit 20 pixels left of their anchors; the seventh anchor stays at the origin.
constexpr int kAnchorX[] = {80, 80, 80, 820, 820, 820, 0};
constexpr int kAnchorY[] = {80, 280, 480, 80, 280, 480, 0};
constexpr int kTileShiftX = 20;

// Shared windows stand this far left of the view's centre.
constexpr int kModalShiftX = 130;

// Player card.
constexpr int kFaceX = 1034, kFaceY = 93;
constexpr float kFaceSize = 81.0f;
constexpr int kCardTextX = 1074;
constexpr int kNameY = 190, kCoinsY = 238, kBankY = 270;
// The name plate under the face, left of the history button: a name never runs past it.
constexpr int kNamePlateX = 1014, kNamePlateY = 186, kNamePlateW = 120, kNamePlateH = 20;
constexpr int kAlignLeft = 0, kAlignCentre = 1;

// The frame's leave confirmation is switched off: the game has nothing to lose on leaving.
constexpr int kCyrmIndex = 1;

// What the description shows when nothing is hovered.
constexpr std::uint32_t kNoSlot = 7;

const std::string kLikedFormat = plat::Utf8ToGbk(
    "您已为\"%s\"点赞！\n\n该商品在以下六款商品集赞中胜出。\n\n则将在下期首发登场");
const std::string kLikeRepeatFormat =
    plat::Utf8ToGbk("您已为\"%s\"点赞！\n\n暂时不可再为该商品点赞！");
const char kLikeTrace[] = "玩家点赞:%u\n";
const char kNotFoundTrace[] = "找不到该商品:goodsid=%u!\n";
const char kLikeSetTrace[] = "setClickLikeForPlayer玩家点赞成功\n";

const tagUserData* LocalUser() {
  const CGameFrameDlg* dlg = CGlobalUnits::s_pGameFrameDlg;
  if (dlg == nullptr || !dlg->IsValid()) return nullptr;
  return dlg->GetMeUserData();
}

}  // namespace

COrvGameClientView::COrvGameClientView() {
  for (std::size_t t = 0; t < kGoodsTileCount; ++t) m_anchors[t] = Anchor{kAnchorX[t], kAnchorY[t]};
}

COrvGameClientView::~COrvGameClientView() {
  GetBuyPanel().Detach(this);
}

bool COrvGameClientView::IsValid() const {
  return plat::LiveMark<COrvGameClientView>::IsLive(this) && COrvGameFrameView::IsValid();
}

int COrvGameClientView::GetCursorShape() { return 0; }

void COrvGameClientView::InitResource() {
  COrvGameFrameView::InitResource();
  m_pBackground = std::make_unique<OrvHgeImage>(kBackgroundPath, false);
  m_pCardFont = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kCardFontSize, 0, 0, 0);
  CGoodsItem::InitSharedResource();
  for (std::size_t t = 0; t < kGoodsTileCount; ++t)
    m_tiles[t].SetPosition(m_anchors[t].x - kTileShiftX, m_anchors[t].y);

  m_pMailButton = std::make_unique<OrvHgeButton>(this, kMailButtonId, kMailButtonPath,
                                                 kMailButtonX, kMailButtonY, false);
  m_pMailButton->setEnabled(false);
  m_pHistoryButton = std::make_unique<OrvHgeButton>(this, kHistoryButtonId, kHistoryButtonPath,
                                                    kHistoryButtonX, kHistoryButtonY, false);

  GetBuyPanel().Create(this);
  GetGoodsDescription().InitResource();

  m_pMessageView = std::make_unique<MessageView>();
  m_pMessageView->Create();

  CMsgBox& box = GetMsgBox();
  box.Create();
  PlaceHidden(box);
  CSellRecord& history = GetSellRecord();
  history.Create();
  PlaceHidden(history);
  CGameRule& rule = GetGameRule();
  rule.Create();
  PlaceHidden(rule);

  SetCyrmEnable(kCyrmIndex, false);
}

void COrvGameClientView::PlaceHidden(gcn::Widget& window) {
  add(&window);
  window.setPosition((getWidth() - window.getWidth()) / 2 - kModalShiftX,
                     (getHeight() - window.getHeight()) / 2);
  window.setVisible(false);
}

void COrvGameClientView::draw(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og != nullptr && m_pBackground) og->drawImage(m_pBackground.get(), 0, 0);
  DrawPlayerCard(g);

  CBuyData& store = GetBuyData();
  for (int i = 0; i < static_cast<int>(kGoodsTileCount); ++i) {
    const CBSceneItem* item = store.GetItemBySlot(i);
    if (item == nullptr || item->state != GOODS_STATE_CANDIDATE) continue;
    if (CGoodsItem* tile = GetTile(item->tileIndex)) tile->Draw(g, item);
  }

  GetBuyPanel().Draw(g);
  COrvGameFrameView::draw(g);
  HideStaleDescription();
  GetGoodsDescription().Draw(g);
  CSystemNotice::ReplayRandomNotice();
}

void COrvGameClientView::DrawPlayerCard(gcn::Graphics* g) {
  const tagUserData* me = LocalUser();
  if (me == nullptr) return;
  OrvHgeGraphics* og = ToOrvGraphics(g);
  const OrvHgeImage* face = GetFaceImg(me->dwUserID);
  if (og != nullptr && face != nullptr && face->getWidth() > 0 && face->getHeight() > 0) {
    og->drawImageEx(face, kFaceX, kFaceY, 0.0f, kFaceSize / static_cast<float>(face->getWidth()),
                    kFaceSize / static_cast<float>(face->getHeight()));
  }
  if (!m_pCardFont) return;
  m_text = me->szNickName;
  // A long name starts at the plate's left edge and is cut at its right one.
  const int width = m_pCardFont->getWidth(m_text);
  g->pushClipArea(gcn::Rectangle(kNamePlateX, kNamePlateY, kNamePlateW, kNamePlateH));
  if (width <= kNamePlateW)
    m_pCardFont->drawString(g, m_text, kCardTextX - kNamePlateX, kNameY - kNamePlateY, kAlignCentre);
  else
    m_pCardFont->drawString(g, m_text, 0, kNameY - kNamePlateY, kAlignLeft);
  g->popClipArea();
  FormatTextInto(m_text, "%u", me->dwCoins);
  m_pCardFont->drawString(g, m_text, kCardTextX, kCoinsY, kAlignLeft);
  FormatTextInto(m_text, "%u", me->dwBankCoins);
  m_pCardFont->drawString(g, m_text, kCardTextX, kBankY, kAlignLeft);
}

void COrvGameClientView::drawExLayer(gcn::Graphics* g) { COrvGameFrameView::drawExLayer(g); }

void COrvGameClientView::OnCommand(int id) {
  COrvGameFrameView::OnCommand(id);
  if (id == kHistoryButtonId) {
    GetSellRecord().setVisible(true);
    return;
  }
  if (id != kMailButtonId) GetBuyPanel().OnCommand(id);
}

void COrvGameClientView::OnTimer(unsigned id) {
  COrvGameFrameView::OnTimer(id);
  if (id == IDT_COUNTDOWN) {
    CBSceneItem* lot = GetBuyData().GetCurrentItem();
    if (lot != nullptr && lot->secondsLeft > 0) --lot->secondsLeft;
  } else if (id == IDT_BUY_COOLDOWN) {
    KillTimer(IDT_BUY_COOLDOWN);
    GetBuyPanel().EnableInput(true);
  }
}

void COrvGameClientView::action(const gcn::ActionEvent& e) {
  COrvGameFrameView::action(e);
  GetBuyPanel().OnEditAction(e);
}

bool COrvGameClientView::IsWindowOpen() {
  return GetMsgBox().isVisible() || GetSellRecord().isVisible() || GetGameRule().isVisible() ||
         CBankView::GetInstance()->isVisible();
}

void COrvGameClientView::mouseMoved(gcn::MouseEvent& e) {
  COrvGameFrameView::mouseMoved(e);
  if (IsWindowOpen()) return;  // a window is open over the game: hovering describes nothing
  DescribeAt(e.getX(), e.getY());
}

void COrvGameClientView::HideStaleDescription() {
  CGoodsDescription& description = GetGoodsDescription();
  if (!description.IsShown()) return;
  if (IsWindowOpen()) {
    description.Hide();
    return;
  }
  CBuyData& store = GetBuyData();
  const CBSceneItem* item = store.GetItemBySlot(static_cast<int>(description.GetSlotIndex()));
  const bool same = item != nullptr && item->goodsId == description.GetGoodsId();
  // Anchored, it describes the lot on sale; beside a tile, a candidate with a tile drawn.
  const bool stillThere = description.IsAnchored()
                              ? item == store.GetCurrentItem()
                              : (item != nullptr && item->state == GOODS_STATE_CANDIDATE);
  if (!same || !stillThere) description.Hide();
}

void COrvGameClientView::DescribeAt(int x, int y) {
  CGoodsDescription& description = GetGoodsDescription();
  CBuyData& store = GetBuyData();
  if (GetBuyPanel().HitTestPicture(x, y)) {
    if (const CBSceneItem* lot = store.GetCurrentItem()) {
      description.Show(lot->tileIndex, lot->tileIndex, true);
      return;
    }
  } else {
    for (int i = 0; i < static_cast<int>(kGoodsTileCount); ++i) {
      if (!m_tiles[i].OnMouseMove(x, y)) continue;
      const CBSceneItem* item = store.GetItemBySlot(i);
      if (item == nullptr) return;
      // An item without a tile of its own cannot be the one under the pointer.
      CGoodsItem* tile = GetTile(item->tileIndex);
      if (tile != nullptr && tile->OnMouseMove(x, y)) {
        description.Show(item->slot - 1, item->tileIndex, false);
        return;
      }
    }
  }
  description.Show(kNoSlot, kNoSlot, false);
}

void COrvGameClientView::mouseClicked(gcn::MouseEvent& e) {
  COrvGameFrameView::mouseClicked(e);
  CBuyData& store = GetBuyData();
  CMsgBox& box = GetMsgBox();
  for (int i = 0; i < kLikeSlots; ++i) {
    // Only a drawn tile has a like button: a lot on sale or closed has none to click.
    const CBSceneItem* item = store.GetItemBySlot(i);
    if (item == nullptr || item->state != GOODS_STATE_CANDIDATE) continue;
    CGoodsItem* tile = GetTile(item->tileIndex);
    if (tile == nullptr || !tile->IsHover()) continue;
    const std::string name = FieldText(item->goodsName);
    if (!tile->IsLiked()) {
      std::printf(kLikeTrace, item->tileIndex);
      tile->SetLiked(true);
      tile->SetHover(false);
      box.ShowKind(MSGBOX_LIKED);
      box.SetCustomText(FormatText(kLikedFormat.c_str(), name.c_str()));
      // Posted: the request goes out after this handler has returned.
      AfxGetMainWnd()->PostMessage(WM_LIKE_REQ, item->goodsId, LIKE_REQUEST_COUNT);
    } else {
      tile->SetHover(false);
      box.ShowKind(MSGBOX_LIKE_REPEAT);
      box.SetCustomText(FormatText(kLikeRepeatFormat.c_str(), name.c_str()));
    }
  }
}

void COrvGameClientView::setClickLikeForPlayer(std::uint32_t goodsId, std::uint32_t liked) {
  const CBSceneItem* item = GetBuyData().GetItemById(goodsId);
  if (item == nullptr) {
    std::printf(kNotFoundTrace, goodsId);
    return;
  }
  CGoodsItem* tile = GetTile(item->tileIndex);
  if (tile == nullptr) return;  // no tile shows it: nothing was marked
  tile->SetLiked(liked != 0);
  std::fputs(kLikeSetTrace, stdout);
}

bool COrvGameClientView::CloseTopWindow() {
  CGameRule& rule = GetGameRule();
  if (rule.isVisible()) {
    rule.OnCommand(CGameRule::kCloseButtonId);
    return true;
  }
  CSellRecord& history = GetSellRecord();
  if (history.isVisible()) {
    history.OnCommand(CSellRecord::kCloseButtonId);
    return true;
  }
  CMsgBox& box = GetMsgBox();
  if (box.isVisible()) {
    const OrvHgeButton* cancel = box.CancelButton();
    box.OnCommand(cancel != nullptr && cancel->isVisible() ? CMsgBox::kCancelButtonId
                                                           : CMsgBox::kOkButtonId);
    return true;
  }
  return false;
}

void COrvGameClientView::ToggleRuleWindow() {
  CGameRule& rule = GetGameRule();
  rule.setVisible(!rule.isVisible());
}
