#include "client/views/msgbox.h"

#include <cstddef>

#include "client/core/requestmessages.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/viewtext.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr const char* kBackgroundPath = "Velmora/Image/MessageBox/Bg.png";
constexpr const char* kSuccessIconPath = "Velmora/Image/MessageBox/Success.png";
constexpr const char* kNextGoodsStripPath = "Velmora/Image/MessageBox/NextGoodsBg.png";
constexpr const char* kButtonPath = "Velmora/Image/MessageBox/BtRed.png";

constexpr int kFontSize = 14;
constexpr int kButtonY = 120;
constexpr int kOkX = 105, kBuyAllX = 23, kCancelX = 188;
constexpr int kCaptionX = 64, kCaptionY = 12;
constexpr int kIconX = 35, kIconY = 35;
constexpr int kStripX = 65, kStripY = 73;
constexpr int kNextTextX = 170, kNextTextY = 81;

const gcn::Color kWhite(255, 255, 255, 255);
const gcn::Color kNextGoodsColor(230, 185, 140, 255);

// Where and how each kind draws its text.
struct KindLayout {
  int x, y;
  int align;
  bool successIcon;
  bool nextGoodsLines;
  bool setWhite;  // false: drawn in the colour the font last had
};

constexpr int kCentre = OrvHgeFont::kAlignCenter;
constexpr int kLeft = OrvHgeFont::kAlignLeft;
constexpr KindLayout kLayouts[MSGBOX_NONE] = {
    {170, 50, kCentre, false, false, true},  // coins short
    {170, 50, kCentre, false, false, true},  // shares short
    {80, 37, kLeft, true, false, true},      // buy success
    {170, 18, kCentre, false, true, false},  // other won
    {170, 18, kCentre, false, true, false},  // I won
    {170, 18, kCentre, false, true, true},   // auction failed
    {170, 50, kCentre, false, false, true},  // no user
    {170, 50, kCentre, false, false, true},  // no goods
    {170, 50, kCentre, false, false, true},  // no auction goods
    {170, 50, kCentre, false, false, true},  // not current
    {170, 50, kCentre, false, false, true},  // time over
    {170, 50, kCentre, false, false, true},  // bad shares
    {190, 30, kCentre, true, false, true},   // liked
    {170, 50, kCentre, false, false, true},  // like repeat
};

// Texts (or formats) by kind; the like kinds draw the custom text instead.
const std::string kKindTexts[MSGBOX_NONE] = {
    plat::Utf8ToGbk("持有金币不足以购买！"),
    plat::Utf8ToGbk("剩余份额不足，是否将剩余份额购买！"),
    plat::Utf8ToGbk("您成功购买了%d份，请留意开奖结果，\n\n预祝您获奖！"),
    plat::Utf8ToGbk("%d号商品%s，被玩家%s成功拍得，\n\n希望下一个商品大家再接再厉！"),
    plat::Utf8ToGbk("恭喜您，%d号商品%s，被您成功拍得，祝您下\n\n一个商品再获大奖"),
    plat::Utf8ToGbk("%d号商品拍卖时间结束，商品份额还余%d流拍！\n\n购买份额的金币已全部返还，请各位注意查看！"),
    plat::Utf8ToGbk("购买用户不存在！"),
    plat::Utf8ToGbk("购买商品不存在！"),
    plat::Utf8ToGbk("拍卖商品不存在！"),
    plat::Utf8ToGbk("购买商品非当前拍卖！"),
    plat::Utf8ToGbk("当前商品拍卖时间已结束！"),
    plat::Utf8ToGbk("购买份额数无效！"),
    std::string(),
    std::string(),
};
const std::string kNextGoodsFormat = plat::Utf8ToGbk("%d号商品开起拍卖！");
const std::string kNextBatchText = plat::Utf8ToGbk("下批商品开起拍卖！");
const std::string kOkCaption = plat::Utf8ToGbk("确定");
const std::string kBuyAllCaption = plat::Utf8ToGbk("全部购买");
const std::string kCancelCaption = plat::Utf8ToGbk("取消");

void SetVisible(OrvHgeButton* button, bool on) {
  if (button) button->setVisible(on);
}

}  // namespace

CMsgBox& GetMsgBox() {
  static CMsgBox box;
  return box;
}

CMsgBox::CMsgBox() = default;
CMsgBox::~CMsgBox() = default;

std::unique_ptr<OrvHgeButton> CMsgBox::MakeButton(int id, int x, int y) {
  auto button = std::make_unique<OrvHgeButton>(this, id, kButtonPath, x, y, false);
  button->setVisible(false);
  button->SetDrawSink(this);
  return button;
}

void CMsgBox::Create() {
  if (m_background) return;
  m_background = std::make_unique<OrvHgeImage>(kBackgroundPath, false);
  m_successIcon = std::make_unique<OrvHgeImage>(kSuccessIconPath, false);
  m_nextGoodsStrip = std::make_unique<OrvHgeImage>(kNextGoodsStripPath, false);
  setSize(m_background->getWidth(), m_background->getHeight());
  m_okButton = MakeButton(kOkButtonId, kOkX, kButtonY);
  m_buyAllButton = MakeButton(kBuyAllButtonId, kBuyAllX, kButtonY);
  m_cancelButton = MakeButton(kCancelButtonId, kCancelX, kButtonY);
  m_font = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kFontSize, 0, 0, 0);
}

void CMsgBox::ShowKind(std::uint16_t kind) {
  if (kind >= MSGBOX_NONE) return;
  m_kind = kind;
  const bool asksBuyAll = kind == MSGBOX_SHARES_SHORT;
  SetVisible(m_okButton.get(), !asksBuyAll);
  SetVisible(m_buyAllButton.get(), asksBuyAll);
  SetVisible(m_cancelButton.get(), asksBuyAll);
  setVisible(true);
  GetBuyPanel().EnableInput(false);
}

void CMsgBox::Close() {
  m_kind = MSGBOX_NONE;
  m_boughtCount = 0;
  m_goodsNumber = 0;
  m_failedShares = 0;
  m_nextGoodsNumber = 0;
  m_goodsName.clear();
  m_winnerName.clear();
  SetVisible(m_okButton.get(), false);
  SetVisible(m_buyAllButton.get(), false);
  SetVisible(m_cancelButton.get(), false);
  setVisible(false);
  GetBuyPanel().EnableInput(true);
}

void CMsgBox::OnCommand(int id) {
  switch (id) {
    case kOkButtonId:
    case kCancelButtonId:
      Close();
      break;
    case kBuyAllButtonId:
      Close();
      if (const CBSceneItem* lot = GetBuyData().GetCurrentItem()) {
        AfxGetMainWnd()->SendMessage(WM_BUY_ALL_REQ, lot->goodsId, 0);
      }
      break;
    default:
      break;
  }
}

void CMsgBox::draw(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og && m_background) og->drawImage(m_background.get(), 0, 0);
  DrawContent(g);
  OrvHgeWindow::draw(g);
}

void CMsgBox::DrawContent(gcn::Graphics* g) {
  if (m_kind >= MSGBOX_NONE) return;
  const KindLayout& layout = kLayouts[m_kind];
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (layout.successIcon && og && m_successIcon) og->drawImage(m_successIcon.get(), kIconX, kIconY);

  const char* format = kKindTexts[m_kind].c_str();
  switch (m_kind) {
    case MSGBOX_BUY_SUCCESS:
      FormatTextInto(m_text, format, m_boughtCount);
      break;
    case MSGBOX_OTHER_WON:
      FormatTextInto(m_text, format, m_goodsNumber, m_goodsName.c_str(), m_winnerName.c_str());
      break;
    case MSGBOX_I_WON:
      FormatTextInto(m_text, format, m_goodsNumber, m_goodsName.c_str());
      break;
    case MSGBOX_AUCTION_FAILED:
      FormatTextInto(m_text, format, m_goodsNumber, m_failedShares);
      break;
    case MSGBOX_LIKED:
    case MSGBOX_LIKE_REPEAT:
      m_text = m_customText;
      break;
    default:
      m_text = kKindTexts[m_kind];
      break;
  }
  if (m_font) {
    if (layout.setWhite) m_font->SetColor(kWhite);
    DrawLines(g, m_text, layout.x, layout.y, layout.align);
  }
  if (layout.nextGoodsLines) DrawNextGoodsLines(g);
}

void CMsgBox::DrawNextGoodsLines(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og && m_nextGoodsStrip) og->drawImage(m_nextGoodsStrip.get(), kStripX, kStripY);
  if (!m_font) return;
  m_font->SetColor(kNextGoodsColor);
  if (m_nextGoodsNumber != 0)
    FormatTextInto(m_text, kNextGoodsFormat.c_str(), m_nextGoodsNumber);
  else
    m_text = kNextBatchText;
  DrawLines(g, m_text, kNextTextX, kNextTextY, kCentre);
}

void CMsgBox::DrawLines(gcn::Graphics* g, const std::string& text, int x, int y, int align) {
  // '\n' never occurs inside a GBK character (trail bytes start at 0x40).
  const int lineHeight = m_font->getHeight();
  std::size_t begin = 0;
  for (int line = 0;; ++line) {
    const std::size_t end = text.find('\n', begin);
    m_line.assign(text, begin, end == std::string::npos ? std::string::npos : end - begin);
    if (!m_line.empty()) m_font->drawString(g, m_line, x, y + line * lineHeight, align);
    if (end == std::string::npos) break;
    begin = end + 1;
  }
}

bool CMsgBox::DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) {
  if (btn == nullptr || !m_font) return false;
  const std::string* caption = nullptr;
  switch (btn->GetID()) {
    case kOkButtonId:
      caption = &kOkCaption;
      break;
    case kBuyAllButtonId:
      caption = &kBuyAllCaption;
      break;
    case kCancelButtonId:
      caption = &kCancelCaption;
      break;
    default:
      return false;
  }
  m_font->SetColor(kWhite);
  m_font->drawString(g, *caption, kCaptionX, kCaptionY, kCentre);
  return true;
}
