#include "client/views/sellrecord.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "client/views/viewtext.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr const char* kBackgroundPath = "Velmora/Image/SellRecord/Bg.png";
constexpr const char* kCloseImagePath = "Velmora/Image/SellRecord/BtClose.png";
constexpr const char* kPrevImagePath = "Velmora/Image/SellRecord/BtLeft.png";
constexpr const char* kNextImagePath = "Velmora/Image/SellRecord/BtRight.png";

constexpr int kCloseX = 448, kCloseY = 32;
constexpr int kPrevX = 185, kPrevY = 330;
constexpr int kNextX = 279, kNextY = 330;

constexpr int kRowFontSize = 12;
constexpr int kHeaderFontSize = 14;
const gcn::Color kHeaderColor(240, 40, 40, 255);
const gcn::Color kRowColor(59, 33, 14, 255);
const gcn::Color kPageColor(255, 255, 255, 255);

constexpr int kHeaderY = 85;
constexpr int kFirstRowY = 110;
constexpr int kRowStep = 22;
constexpr int kPageX = 244, kPageY = 338;

enum Column { kNumberColumn, kNameColumn, kWinnerColumn, kSharesColumn, kTimeColumn, kColumnCount };
constexpr int kColumnX[kColumnCount] = {45, 125, 230, 312, 410};
const std::string kHeaderTexts[kColumnCount] = {
    plat::Utf8ToGbk("商品号"), plat::Utf8ToGbk("商品名"), plat::Utf8ToGbk("夺宝人"),
    plat::Utf8ToGbk("购买份额"), plat::Utf8ToGbk("开奖时间"),
};

constexpr const char* kNumberFormat = "%d";
constexpr const char* kPageFormat = "%d/%d";

void SetEnabled(OrvHgeButton* button, bool on) {
  if (button) button->setEnabled(on);
}

}  // namespace

CSellRecord& GetSellRecord() {
  static CSellRecord window;
  return window;
}

CSellRecord::CSellRecord() = default;
CSellRecord::~CSellRecord() = default;

void CSellRecord::Create() {
  if (m_background) return;
  m_background = std::make_unique<OrvHgeImage>(kBackgroundPath, false);
  setSize(m_background->getWidth(), m_background->getHeight());
  m_closeButton = std::make_unique<OrvHgeButton>(this, kCloseButtonId, kCloseImagePath, kCloseX, kCloseY, false);
  m_prevButton = std::make_unique<OrvHgeButton>(this, kPrevButtonId, kPrevImagePath, kPrevX, kPrevY, false);
  m_prevButton->setEnabled(false);
  m_nextButton = std::make_unique<OrvHgeButton>(this, kNextButtonId, kNextImagePath, kNextX, kNextY, false);
  m_nextButton->setEnabled(false);
  m_rowFont = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kRowFontSize, 0, 0, 0);
  m_headerFont = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kHeaderFontSize, 0, 0, 0);
  m_headerFont->SetColor(kHeaderColor, -1);
}

void CSellRecord::SetRecords(const void* data, std::uint16_t size) {
  if (data == nullptr && size != 0) return;
  const auto rows = ReadServerList<SUB_S_RECENTLY_RESULT>(data, size);
  if (!rows) return;
  m_rows.RemoveAll();
  m_pageIndex = 0;
  Row row;
  for (std::size_t i = 0; i < rows->Count() && m_rows.GetCount() < kMaxRows; ++i) {
    if (rows->Get(i, &row)) m_rows.Add(row);
  }
  UpdatePageButtons();
}

bool CSellRecord::HasNextPage() const { return m_rows.GetCount() > (m_pageIndex + 1) * kRowsPerPage; }

void CSellRecord::UpdatePageButtons() {
  SetEnabled(m_prevButton.get(), m_pageIndex > 0);
  SetEnabled(m_nextButton.get(), HasNextPage());
}

int CSellRecord::GetPageCount() const {
  const int count = m_rows.GetCount();
  return count / kRowsPerPage + (count % kRowsPerPage != 0 ? 1 : 0);
}

void CSellRecord::OnCommand(int id) {
  switch (id) {
    case kCloseButtonId:
      setVisible(false);
      break;
    case kPrevButtonId:
      if (m_pageIndex > 0) {
        --m_pageIndex;
        UpdatePageButtons();
      }
      break;
    case kNextButtonId:
      if (HasNextPage()) {
        ++m_pageIndex;
        UpdatePageButtons();
      }
      break;
    default:
      break;
  }
}

void CSellRecord::draw(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og && m_background) og->drawImage(m_background.get(), 0, 0);

  for (int c = 0; c < kColumnCount; ++c) {
    m_text = kHeaderTexts[c];
    DrawCentred(g, m_headerFont.get(), kColumnX[c], kHeaderY);
  }

  if (m_rowFont) m_rowFont->SetColor(kRowColor, -1);
  const int first = m_pageIndex * kRowsPerPage;
  const int end = std::min(m_rows.GetCount(), first + kRowsPerPage);
  for (int r = first; r < end; ++r) DrawRow(g, m_rows.ElementAt(r), kFirstRowY + kRowStep * (r - first));

  if (m_rows.GetCount() > 0) {
    if (m_rowFont) m_rowFont->SetColor(kPageColor, -1);
    Format(kPageFormat, m_pageIndex + 1, GetPageCount());
    DrawCentred(g, m_rowFont.get(), kPageX, kPageY);
  }

  OrvHgeWindow::draw(g);
}

void CSellRecord::DrawRow(gcn::Graphics* g, const Row& row, int y) {
  OrvHgeFont* font = m_rowFont.get();
  Format(kNumberFormat, static_cast<int>(row.goodsNumber));
  DrawCentred(g, font, kColumnX[kNumberColumn], y);
  m_text = FieldText(row.goodsName);
  DrawCentred(g, font, kColumnX[kNameColumn], y);
  m_text = FieldText(row.winnerNickname);
  DrawCentred(g, font, kColumnX[kWinnerColumn], y);
  Format(kNumberFormat, static_cast<int>(row.winnerShares));
  DrawCentred(g, font, kColumnX[kSharesColumn], y);
  m_text = FieldText(row.drawTime);
  DrawCentred(g, font, kColumnX[kTimeColumn], y);
}

void CSellRecord::DrawCentred(gcn::Graphics* g, OrvHgeFont* font, int x, int y) {
  if (font) font->drawString(g, m_text, x, y, OrvHgeFont::kAlignCenter);
}

void CSellRecord::Format(const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) {
    m_text.clear();
    return;
  }
  m_text.assign(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}
