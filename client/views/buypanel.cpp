#include "client/views/buypanel.h"

#include <limits>

#include "client/core/requestmessages.h"
#include "client/data/buydata.h"
#include "client/views/goodsimage.h"
#include "client/views/msgbox.h"
#include "client/views/myedit.h"
#include "client/views/systemnotice.h"
#include "client/views/viewtext.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/globalunits.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgewindow.h"

namespace {

constexpr const char* kImagePaths[] = {
    "Velmora/Image/BuyDlg/GoodsNum.png",  "Velmora/Image/BuyDlg/EditBg.png",
    "Velmora/Image/BuyDlg/Txt_Time.png",  "Velmora/Image/BuyDlg/TimeQuote.png",
    "Velmora/Image/BuyDlg/TimeNum.png",
};
constexpr const char* kBuyButtonPath = "Velmora/Image/BuyDlg/BtBuy.png";
constexpr const char* kAddButtonPath = "Velmora/Image/BuyDlg/BtAdd.png";
constexpr const char* kReduceButtonPath = "Velmora/Image/BuyDlg/BtReduce.png";

constexpr int kLabelFontSize = 18;
constexpr int kNoteFontSize = 14;
constexpr int kTitleFontSize = 20;
constexpr int kEditFontSize = 18;

// Origin-relative layout.
constexpr int kPictureX = 56, kPictureY = 48;
constexpr int kPictureRight = 346, kPictureBottom = 288;  // hit area, inclusive
constexpr int kTitleX = 201, kNameY = 22, kTotalY = 297;
constexpr int kLabelX = 96;
constexpr int kLeftY = 332, kHeldY = 365, kHeldValueX = 223, kChooseY = 399;
constexpr int kEditBgX = 219, kEditBgY = 394;
constexpr int kFieldX = 224, kFieldY = 396, kFieldW = 60, kFieldH = 22;
constexpr int kReduceX = 189, kAddX = 294, kStepY = 394;
constexpr int kCostY = 433, kNoteY = 436;
constexpr int kChanceY = 467, kChanceValueX = 186;
constexpr int kBuyX = 125, kBuyY = 500;

// Countdown: the caption over "MM:SS" in the dark corner right of the buy button. The digit
// strip holds 0-9 side by side; the colon is an image of its own.
constexpr int kTimeCaptionX = 295, kTimeCaptionY = 500;
constexpr int kTimeDigitsX = 305, kTimeDigitsY = 526;
constexpr int kTimeDigitW = 14, kTimeDigitH = 20, kTimeColonW = 8;
constexpr std::uint32_t kMaxShownSeconds = 99 * 60 + 59;
// Why buy is grey: a short note at the right end of the chance row, the only free room inside
// the panel's inner frame (under the buy button is the panel's border).
constexpr int kReasonRight = 380, kReasonY = kChanceY + (kNoteY - kCostY);
const gcn::Color kReasonColor(255, 150, 110, 255);

const gcn::Color kLabelColor(229, 194, 166, 255);
const gcn::Color kValueColor(255, 222, 0, 255);
const gcn::Color kNoteColor(255, 0, 0, 255);
const gcn::Color kFieldBaseColor(0, 0, 0, 255);

const std::string kTotalFormat = plat::Utf8ToGbk("商品份额 %u");
const std::string kLeftFormat = plat::Utf8ToGbk("剩余份额：%u份");
const std::string kHeldLabel = plat::Utf8ToGbk("我拥有的份额：");
const std::string kHeldFormat = plat::Utf8ToGbk("%u份");
const std::string kChooseLabel = plat::Utf8ToGbk("购买份额：");
// The cost is a 64-bit product, printed whole.
const std::string kCostFormat = plat::Utf8ToGbk("消耗金币：%llu");
const std::string kPriceNote = plat::Utf8ToGbk("(每份10000金币)");
const std::string kChanceLabel = plat::Utf8ToGbk("夺宝几率：");
constexpr const char* kChanceFormat = "%0.02f%%";
const std::string kReasonOffline = plat::Utf8ToGbk("未连接服务器");
const std::string kReasonBelowMinimum = plat::Utf8ToGbk("每次至少购买%u份");
const std::string kReasonCoinsShort = plat::Utf8ToGbk("金币不够买%u份");
const std::string kReasonBoxOpen = plat::Utf8ToGbk("请先关闭提示框");

constexpr std::uint32_t kMaxShares = std::numeric_limits<std::uint32_t>::max();

const tagUserData* LocalUser() {
  CGameFrameDlg* dlg = CGlobalUnits::s_pGameFrameDlg;
  if (dlg == nullptr || !dlg->IsValid()) return nullptr;
  return dlg->GetMeUserData();
}

}  // namespace

CBuyPanel::CBuyPanel() = default;
CBuyPanel::~CBuyPanel() = default;

CBuyPanel& GetBuyPanel() {
  static CBuyPanel panel;
  return panel;
}

void CBuyPanel::Detach(OrvHgeWindow* parent) {
  if (parent == nullptr || parent != m_parent) return;
  // The widgets were children of the dying view; remove them while it still exists.
  for (gcn::Widget* w : {static_cast<gcn::Widget*>(m_buyButton.get()), static_cast<gcn::Widget*>(m_addButton.get()),
                         static_cast<gcn::Widget*>(m_reduceButton.get()), static_cast<gcn::Widget*>(m_shareField.get())}) {
    if (w != nullptr && w->getParent() == parent) parent->remove(w);
  }
  if (m_shareField) m_shareField->removeActionListener(parent);
  m_parent = nullptr;
}

void CBuyPanel::Create(OrvHgeWindow* parent) {
  if (parent == nullptr || m_parent != nullptr) return;
  m_parent = parent;
  for (int i = 0; i < kImageCount; ++i) m_images[i] = std::make_unique<OrvHgeImage>(kImagePaths[i], false);

  m_buyButton = std::make_unique<OrvHgeButton>(parent, kBuyButtonId, kBuyButtonPath, kOriginX + kBuyX,
                                               kOriginY + kBuyY, false);
  m_buyButton->setEnabled(false);
  m_buyButton->setVisible(false);
  m_addButton = std::make_unique<OrvHgeButton>(parent, kAddButtonId, kAddButtonPath, kOriginX + kAddX,
                                               kOriginY + kStepY, false);
  m_addButton->setVisible(false);
  m_reduceButton = std::make_unique<OrvHgeButton>(parent, kReduceButtonId, kReduceButtonPath,
                                                  kOriginX + kReduceX, kOriginY + kStepY, false);
  m_reduceButton->setEnabled(false);
  m_reduceButton->setVisible(false);

  const char* face = SongFaceGbk().c_str();
  m_labelFont = std::make_unique<OrvHgeFont>(face, kLabelFontSize, 0, 0, 1);
  m_noteFont = std::make_unique<OrvHgeFont>(face, kNoteFontSize, 0, 0, 1);
  m_titleFont = std::make_unique<OrvHgeFont>(face, kTitleFontSize, 0, 0, 1);
  m_editFont = std::make_unique<OrvHgeFont>(face, kEditFontSize, 0, 0, 1);

  m_shareField = std::make_unique<CMyEdit>();
  m_shareField->setSize(kFieldW, kFieldH);
  parent->add(m_shareField.get(), kOriginX + kFieldX, kOriginY + kFieldY);
  m_shareField->setFont(m_editFont.get());
  m_shareField->SetNumOnly(true);
  m_shareField->addActionListener(parent);
  m_shareField->setVisible(false);
  m_shareField->setBaseColor(kFieldBaseColor);
}

std::uint32_t CBuyPanel::SharesLeft(const CBSceneItem& lot) {
  return lot.soldShares >= lot.totalShares ? 0 : lot.totalShares - lot.soldShares;
}

std::uint32_t CBuyPanel::ParseShares(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (value >= kMaxShares) return kMaxShares;
  }
  return static_cast<std::uint32_t>(value);
}

std::uint32_t CBuyPanel::GetMinShares() const {
  const CBSceneItem* lot = GetBuyData().GetCurrentItem();
  if (lot == nullptr) return 0;
  const std::uint32_t left = SharesLeft(*lot);
  const std::uint64_t price = lot->sharePrice;
  const std::uint64_t minAmount = lot->minPurchase;
  // The fewest shares whose cost reaches the minimum amount, never more than are left. With a
  // price of 0 no count reaches it, so all shares left are the minimum.
  std::uint64_t n = 0;
  if (minAmount > 0) n = price == 0 ? left : (minAmount + price - 1) / price;
  if (n > left) n = left;
  // A leftover too small to sell on its own goes with this purchase.
  if ((left - n) * price <= lot->remainderThreshold) n = left;
  return static_cast<std::uint32_t>(n);
}

void CBuyPanel::SetEnabled(OrvHgeButton* button, bool on) {
  if (button) button->setEnabled(on);
}

std::string CBuyPanel::BuyDisabledReason() const {
  std::string reason;
  ComposeBuyDisabledReason(reason);
  return reason;
}

void CBuyPanel::ComposeBuyDisabledReason(std::string& out) const {
  out.clear();
  const CBSceneItem* lot = GetBuyData().GetCurrentItem();
  if (!m_shown || lot == nullptr || m_buyButton == nullptr || m_buyButton->isEnabled()) return;
  const CGameFrameDlg* dlg = CGlobalUnits::s_pGameFrameDlg;
  const tagUserData* me = LocalUser();
  const std::uint32_t minimum = GetMinShares();
  if (dlg == nullptr || !dlg->IsValid() || !dlg->IsConnected() || me == nullptr)
    out.assign(kReasonOffline);
  else if (GetMsgBox().isVisible())
    out.assign(kReasonBoxOpen);
  else if (m_chosenShares < minimum)
    FormatTextInto(out, kReasonBelowMinimum.c_str(), minimum);
  else if (static_cast<std::uint64_t>(m_chosenShares) * lot->sharePrice > me->dwCoins)
    FormatTextInto(out, kReasonCoinsShort.c_str(), m_chosenShares);
}

void CBuyPanel::ShowChosenInField() {
  if (!m_shareField) return;
  m_shareField->setText(m_chosenShares == 0 ? std::string() : FormatText("%u", m_chosenShares));
}

void CBuyPanel::RefreshInput() {
  const CBSceneItem* lot = GetBuyData().GetCurrentItem();
  if (lot == nullptr) {
    m_chosenShares = 0;
    return;
  }
  if (GetMinShares() > m_chosenShares) {
    SetEnabled(m_addButton.get(), true);
    SetEnabled(m_reduceButton.get(), false);
    SetEnabled(m_buyButton.get(), false);
    ShowChosenInField();
    return;
  }
  const std::uint32_t left = SharesLeft(*lot);
  if (m_chosenShares >= left) {
    m_chosenShares = left;
    SetEnabled(m_addButton.get(), false);
    SetEnabled(m_reduceButton.get(), true);
  } else {
    SetEnabled(m_addButton.get(), true);
    SetEnabled(m_reduceButton.get(), true);
  }
  ShowChosenInField();
  if (const tagUserData* me = LocalUser()) {
    // 64 bits: a product that wrapped in 32 would enable a purchase the player cannot pay.
    const std::uint64_t cost = static_cast<std::uint64_t>(m_chosenShares) * lot->sharePrice;
    SetEnabled(m_buyButton.get(), cost <= me->dwCoins);
  }
}

bool CBuyPanel::OnCommand(int id) {
  switch (id) {
    case kBuyButtonId:
      if (const CBSceneItem* lot = GetBuyData().GetCurrentItem()) {
        AfxGetMainWnd()->SendMessage(WM_BUY_REQ, lot->goodsId, static_cast<LPARAM>(m_chosenShares));
      }
      return true;
    case kAddButtonId:
      if (m_chosenShares < kMaxShares) ++m_chosenShares;
      RefreshInput();
      return true;
    case kReduceButtonId:
      if (m_chosenShares > 0) --m_chosenShares;
      RefreshInput();
      return true;
    default:
      return false;
  }
}

bool CBuyPanel::OnEditAction(const gcn::ActionEvent& event) {
  if (m_shareField == nullptr || event.getSource() != m_shareField.get()) return false;
  if (event.getId() == OrvHgeEdit::kChangeTextId) {
    m_chosenShares = ParseShares(m_shareField->getText());
    RefreshInput();
  }
  return true;
}

void CBuyPanel::EnableInput(bool on) {
  if (!on) {
    if (m_shareField) m_shareField->setEnabled(false);
    SetEnabled(m_addButton.get(), false);
    SetEnabled(m_reduceButton.get(), false);
    SetEnabled(m_buyButton.get(), false);
    return;
  }
  if (m_shareField) m_shareField->setEnabled(true);
  RefreshInput();
}

void CBuyPanel::ShowControls(bool on) {
  m_shown = on;
  if (m_addButton) m_addButton->setVisible(on);
  if (m_reduceButton) m_reduceButton->setVisible(on);
  if (m_buyButton) m_buyButton->setVisible(on);
  if (m_shareField) m_shareField->setVisible(on);
}

void CBuyPanel::ResetToMinimum() {
  m_chosenShares = GetMinShares();
  RefreshInput();
  EnableInput(true);
  if (m_parent) m_parent->KillTimer(IDT_BUY_COOLDOWN);
}

void CBuyPanel::ClampToRemaining() {
  const CBSceneItem* lot = GetBuyData().GetCurrentItem();
  if (lot == nullptr) {
    m_chosenShares = 0;
    return;
  }
  const std::uint32_t left = SharesLeft(*lot);
  if (left < GetMinShares() && m_shareField) m_shareField->setText(FormatText("%u", left));
}

bool CBuyPanel::HitTestPicture(int x, int y) const {
  const long long dx = static_cast<long long>(x) - kOriginX;
  const long long dy = static_cast<long long>(y) - kOriginY;
  return dx >= kPictureX && dx <= kPictureRight && dy >= kPictureY && dy <= kPictureBottom;
}

void CBuyPanel::Draw(gcn::Graphics* g) {
  if (!m_shown) return;
  const CBSceneItem* lot = GetBuyData().GetCurrentItem();
  if (lot == nullptr) return;
  OrvHgeGraphics* og = ToOrvGraphics(g);
  const int ox = kOriginX;
  const int oy = kOriginY;

  m_picture = GetGoodsImage(lot->goodsId, FieldText(lot->pictureFile));
  if (og && m_picture) og->drawImage(m_picture, ox + kPictureX, oy + kPictureY);

  if (m_titleFont) {
    m_text = FieldText(lot->goodsName);
    m_titleFont->drawString(g, m_text, ox + kTitleX, oy + kNameY, OrvHgeFont::kAlignCenter);
    FormatTextInto(m_text, kTotalFormat.c_str(), lot->totalShares);
    m_titleFont->drawString(g, m_text, ox + kTitleX, oy + kTotalY, OrvHgeFont::kAlignCenter);
  }

  if (m_labelFont) {
    OrvHgeFont& font = *m_labelFont;
    font.SetColor(kLabelColor);
    FormatTextInto(m_text, kLeftFormat.c_str(), SharesLeft(*lot));
    font.drawString(g, m_text, ox + kLabelX, oy + kLeftY, OrvHgeFont::kAlignLeft);
    font.drawString(g, kHeldLabel, ox + kLabelX, oy + kHeldY, OrvHgeFont::kAlignLeft);
    font.SetColor(kValueColor);
    FormatTextInto(m_text, kHeldFormat.c_str(), lot->heldShares);
    font.drawString(g, m_text, ox + kHeldValueX, oy + kHeldY, OrvHgeFont::kAlignLeft);

    font.SetColor(kLabelColor);
    font.drawString(g, kChooseLabel, ox + kLabelX, oy + kChooseY, OrvHgeFont::kAlignLeft);
  }
  if (og && m_images[kEditBgImage]) og->drawImage(m_images[kEditBgImage].get(), ox + kEditBgX, oy + kEditBgY);

  if (m_labelFont) {
    OrvHgeFont& font = *m_labelFont;
    const unsigned long long cost = static_cast<unsigned long long>(lot->sharePrice) * m_chosenShares;
    FormatTextInto(m_text, kCostFormat.c_str(), cost);
    font.drawString(g, m_text, ox + kLabelX, oy + kCostY, OrvHgeFont::kAlignLeft);
    if (m_noteFont) {
      m_noteFont->SetColor(kNoteColor);
      m_noteFont->drawString(g, kPriceNote, ox + kLabelX + font.getWidth(m_text), oy + kNoteY);
    }

    font.drawString(g, kChanceLabel, ox + kLabelX, oy + kChanceY, OrvHgeFont::kAlignLeft);
    if (lot->totalShares != 0) {
      const double chance = (static_cast<double>(m_chosenShares) + static_cast<double>(lot->heldShares)) /
                            static_cast<double>(lot->totalShares) * 100.0;
      font.SetColor(kValueColor);
      FormatTextInto(m_text, kChanceFormat, chance);
      font.drawString(g, m_text, ox + kChanceValueX, oy + kChanceY, OrvHgeFont::kAlignLeft);
    }
  }

  if (og) DrawCountdown(og, *lot);
  ComposeBuyDisabledReason(m_reason);
  if (!m_reason.empty() && m_noteFont) {
    m_noteFont->SetColor(kReasonColor);
    const int x = ox + kReasonRight - m_noteFont->getWidth(m_reason);
    m_noteFont->drawString(g, m_reason, x, oy + kReasonY, OrvHgeFont::kAlignLeft);
  }
  CSystemNotice::UpdateAndDrawAll();
}

void CBuyPanel::DrawCountdown(OrvHgeGraphics* og, const CBSceneItem& lot) {
  const OrvHgeImage* digits = m_images[kTimeNumImage].get();
  const OrvHgeImage* colon = m_images[kTimeQuoteImage].get();
  if (m_images[kTxtTimeImage])
    og->drawImage(m_images[kTxtTimeImage].get(), kOriginX + kTimeCaptionX, kOriginY + kTimeCaptionY);
  if (digits == nullptr || digits->getWidth() < 10 * kTimeDigitW) return;
  // A countdown longer than the four digits can hold shows their largest value.
  const std::uint32_t seconds = lot.secondsLeft < kMaxShownSeconds ? lot.secondsLeft : kMaxShownSeconds;
  const int shown[4] = {static_cast<int>(seconds / 600), static_cast<int>(seconds / 60 % 10),
                        static_cast<int>(seconds % 60 / 10), static_cast<int>(seconds % 10)};
  float x = static_cast<float>(kOriginX + kTimeDigitsX);
  const float y = static_cast<float>(kOriginY + kTimeDigitsY);
  for (int i = 0; i < 4; ++i) {
    og->drawImage(digits, kTimeDigitW, kTimeDigitH, shown[i] * kTimeDigitW, 0, x, y);
    x += kTimeDigitW;
    if (i == 1) {
      if (colon) og->drawImage(colon, static_cast<int>(x), static_cast<int>(y));
      x += kTimeColonW;
    }
  }
}
