#include "client/views/messageview.h"

#include <algorithm>

#include <guichan/color.hpp>

#include "platform/frame/globalunits.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgescrollarea.h"
#include "platform/toolkit/orvhgetextbox.h"
#include "platform/toolkit/orvhgewindow.h"

namespace {

constexpr const char* kScrollImagePath = "Velmora/Image/MessageView/Scroll.png";
constexpr const char* kLuckyUserImagePath = "Velmora/Image/MessageView/BtLuckyUser.png";
constexpr const char* kMyBuyImagePath = "Velmora/Image/MessageView/BtMyBuy.png";

const std::string kFontFace = plat::Utf8ToGbk("宋体");
constexpr int kFontSize = 12;

constexpr int kScrollW = 250, kScrollH = 325;
constexpr int kScrollBarWidth = 6;
constexpr int kScrollX = 5, kScrollGapBelowTabs = 7;
constexpr int kViewW = 270, kViewExtraH = 350;
constexpr int kRightInset = 275;  // view width plus 5 pixels to spare

constexpr int kHeldFrame = 2;
const gcn::Color kTextColor(0, 0, 0, 255);
const gcn::Color kLinkColor(0, 0, 255, 255);

}  // namespace

MessageView::MessageView() = default;
MessageView::~MessageView() = default;

void MessageView::Create() {
  if (m_textBox) return;
  m_scrollImage = std::make_unique<OrvHgeImage>(kScrollImagePath, false);

  int x = 0;
  m_luckyUserButton = std::make_unique<OrvHgeButton>(this, kLuckyUserTab, kLuckyUserImagePath, x, 0, false);
  x += m_luckyUserButton->getWidth();
  m_myBuyButton = std::make_unique<OrvHgeButton>(this, kMyBuyTab, kMyBuyImagePath, x, 0, false);

  m_textBox = std::make_unique<OrvHgeTextBox>();
  m_font = std::make_unique<OrvHgeFont>(kFontFace.c_str(), kFontSize, 0, 0, 0);
  m_textBox->setFont(m_font.get());

  m_scrollArea = std::make_unique<OrvHgeScrollArea>(m_textBox.get());
  m_scrollArea->setSize(kScrollW, kScrollH);
  m_scrollArea->SetImg(m_scrollImage.get());
  m_scrollArea->m_nScrollWidth = kScrollBarWidth;
  m_scrollArea->SetPressMoveLen(m_textBox->GetLineHeight());
  const int tabH = m_luckyUserButton->getHeight();
  add(m_scrollArea.get(), kScrollX, tabH + kScrollGapBelowTabs);

  OrvHgeWindow* top = CGlobalUnits::GetTopWindow();
  setSize(kViewW, tabH + kViewExtraH);
  if (top != nullptr) {
    setPosition(top->getWidth() - kRightInset, top->getHeight() - getHeight());
    top->add(this);
  }
}

void MessageView::AddLine(Tab tab, std::list<std::u16string>& lines, std::u16string_view line) {
  const bool shown = m_activeTab == tab && m_boxHolds == tab;
  if (lines.size() >= kMaxLines) {
    // The oldest node goes to the back and takes the new text in its own storage.
    std::u16string& oldest = lines.front();
    // A line holding '\n' stands as several lines in the text box.
    if (shown) m_textBox->RemoveFirstLines(1 + static_cast<std::size_t>(std::count(oldest.begin(), oldest.end(), u'\n')));
    lines.splice(lines.end(), lines, lines.begin());
    lines.back().assign(line);
  } else {
    lines.emplace_back(line);
  }
  if (shown) {
    m_textBox->addStr(lines.back(), kTextColor, OrvHgeTextBox::kPlain, kLinkColor);
    UpdateTabButtons();
  } else {
    ShowTab(tab);
  }
}

void MessageView::AddLuckyUserLine(std::u16string_view line) { AddLine(kLuckyUserTab, m_luckyUserLines, line); }

void MessageView::AddMyBuyLine(std::u16string_view line) { AddLine(kMyBuyTab, m_myBuyLines, line); }

void MessageView::ClearLines() {
  m_luckyUserLines.clear();
  m_myBuyLines.clear();
  if (m_activeTab == kLuckyUserTab || m_activeTab == kMyBuyTab) RefillText(m_activeTab == kLuckyUserTab);
}

void MessageView::ShowTab(std::uint16_t tab) {
  if (tab != kLuckyUserTab && tab != kMyBuyTab) return;
  m_activeTab = tab;
  RefillText(tab == kLuckyUserTab);
  UpdateTabButtons();
}

void MessageView::RefillText(bool luckyUsers) {
  if (!m_textBox) return;
  m_boxHolds = luckyUsers ? kLuckyUserTab : kMyBuyTab;
  m_textBox->setText(std::u16string());
  for (const std::u16string& line : luckyUsers ? m_luckyUserLines : m_myBuyLines) {
    m_textBox->addStr(line, kTextColor, OrvHgeTextBox::kPlain, kLinkColor);
  }
}

void MessageView::UpdateTabButtons() {
  OrvHgeButton* held = nullptr;
  OrvHgeButton* other = nullptr;
  if (m_activeTab == kLuckyUserTab) {
    held = m_luckyUserButton.get();
    other = m_myBuyButton.get();
  } else if (m_activeTab == kMyBuyTab) {
    held = m_myBuyButton.get();
    other = m_luckyUserButton.get();
  }
  if (held) held->SetDefaultBmpIndex(kHeldFrame, true);
  if (other) other->ClearDefaultBmpIndex();
}

void MessageView::OnCommand(int id) {
  if (id == kLuckyUserTab || id == kMyBuyTab) ShowTab(static_cast<std::uint16_t>(id));
  OrvHgeContainer::OnCommand(id);
}
