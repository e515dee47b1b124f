#include "platform/frame/bankview.h"

#include <string>

#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>

#include "platform/frame/frametopwindow.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/globalunits.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"

namespace {

const std::string kFontFace = plat::Utf8ToGbk("宋");
constexpr int kFontSize = 14;
constexpr int kMarginX = 24;
constexpr int kTitleY = 16;
constexpr int kFirstLineY = 64;
constexpr int kLineStep = 36;
const gcn::Color kPanelColor(30, 24, 18, 235);
const gcn::Color kEdgeColor(230, 190, 90, 255);
const gcn::Color kTextColor(255, 240, 200, 255);
const gcn::Color kInnerEdgeColor(150, 110, 40, 255);
constexpr int kInnerInset = 4;
constexpr int kCloseMargin = 8;
const std::string kCloseCaption = plat::Utf8ToGbk("关闭");

}  // namespace

CBankView* CBankView::GetInstance() {
  static CBankView view;
  return &view;
}

CBankView::CBankView() : m_closeSink(kCloseCaption) {
  setSize(kWidth, kHeight);
  setPosition((plat::kGameAreaWidth - kWidth) / 2, (plat::kGameAreaHeight - kHeight) / 2);
  setVisible(false);
}

CBankView::~CBankView() = default;

void CBankView::DrawLine(gcn::Graphics* g, const std::string& labelUtf8, unsigned value, int y) {
  m_font->drawString(g, plat::Utf8ToGbk(labelUtf8 + std::to_string(value)), kMarginX, y,
                     OrvHgeFont::kAlignLeft);
}

void CBankView::draw(gcn::Graphics* g) {
  if (g == nullptr) return;
  const gcn::Rectangle panel(0, 0, getWidth(), getHeight());
  g->setColor(kPanelColor);
  g->fillRectangle(panel);
  // The game's frame: a gold edge with a darker one inside it.
  g->setColor(kEdgeColor);
  g->drawRectangle(panel);
  g->setColor(kInnerEdgeColor);
  g->drawRectangle(gcn::Rectangle(kInnerInset, kInnerInset, getWidth() - 2 * kInnerInset,
                                  getHeight() - 2 * kInnerInset));
  if (!m_close) {
    m_close = plat::FrameButtonSink::MakeButton(
        this, kCloseButtonId, getWidth() - plat::FrameButtonSink::kWidth - kCloseMargin, kCloseMargin,
        &m_closeSink);
  }
  if (!m_font) m_font = std::make_unique<OrvHgeFont>(kFontFace.c_str(), kFontSize, 0, 0, 1);
  m_font->SetColor(kTextColor);
  m_font->drawString(g, plat::Utf8ToGbk("保险柜"), getWidth() / 2, kTitleY,
                     OrvHgeFont::kAlignCenter);
  const CGameFrameDlg* dlg = CGlobalUnits::s_pGameFrameDlg;
  const tagUserData* user = (dlg != nullptr && dlg->IsValid()) ? dlg->GetMeUserData() : nullptr;
  if (user != nullptr) {
    DrawLine(g, "携带金币：", user->dwCoins, kFirstLineY);
    DrawLine(g, "保险柜金币：", user->dwBankCoins, kFirstLineY + kLineStep);
  } else {
    m_font->drawString(g, plat::Utf8ToGbk("尚未登录"), kMarginX, kFirstLineY,
                       OrvHgeFont::kAlignLeft);
  }
  OrvHgeWindow::draw(g);
}

void CBankView::OnCommand(int id) {
  OrvHgeWindow::OnCommand(id);
  if (id == kCloseButtonId) setVisible(false);
}

void CBankView::mouseClicked(gcn::MouseEvent& e) {
  OrvHgeWindow::mouseClicked(e);
  setVisible(false);
}
