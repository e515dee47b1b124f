#include "client/views/goodsdescription.h"

#include <algorithm>
#include <cstddef>

#include "client/data/buydata.h"
#include "client/views/viewtext.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr const char* kTileCalloutPath = "Velmora/Image/Description/Bg.png";
constexpr const char* kLotCalloutPath = "Velmora/Image/Description/BgCur.png";

constexpr int kFontSize = 12;
const gcn::Color kTextColor(96, 47, 0, 255);

const std::u16string kNamePrefix = u"商品名称：";

// Tile callouts: one column of three per frame of the image.
constexpr std::uint32_t kTilesPerColumn = 3;
constexpr int kTileFrames = 2;
constexpr int kFirstCalloutX = 220, kColumnStep = 270;
constexpr int kFirstCalloutY = 120, kRowStep = 200;
constexpr int kTextInset = 10;
constexpr int kLeftColumnExtraInset = 20;  // the top frame's pointer sits on its left edge

constexpr int kLotCalloutX = 365, kLotCalloutY = 400;
constexpr int kLotTextX = 375, kLotTextY = 425;
constexpr int kLineStep = 20;

// Width of text[start, start + n) as the font measures it.
int MeasurePrefix(const OrvHgeFont& font, const std::u16string& text, std::size_t start, std::size_t n) {
  return font.getWidth(text.substr(start, n));
}

// The reference rule for one line: shorten from all that remains, one character at a time,
// until the prefix fits; never below one character.
std::size_t NaiveLineLength(const OrvHgeFont& font, const std::u16string& text, std::size_t start,
                            int maxWidth) {
  std::size_t n = text.size() - start;
  while (n > 1 && MeasurePrefix(font, text, start, n) > maxWidth) --n;
  return n;
}

}  // namespace

CGoodsDescription& GetGoodsDescription() {
  static CGoodsDescription description;
  return description;
}

CGoodsDescription::CGoodsDescription() {
  for (std::uint32_t i = 0; i < kPositionCount; ++i) m_positions[i] = CalloutPosition(i);
}

CGoodsDescription::~CGoodsDescription() = default;

CGoodsDescription::Point CGoodsDescription::CalloutPosition(std::uint32_t tileIndex) {
  const auto column = static_cast<std::int32_t>(tileIndex / kTilesPerColumn);
  const auto row = static_cast<std::int32_t>(tileIndex % kTilesPerColumn);
  return Point{kFirstCalloutX + kColumnStep * column, kFirstCalloutY + kRowStep * row};
}

void CGoodsDescription::InitResource() {
  if (m_font) return;
  m_font = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kFontSize, 0, 0, 0);
  m_font->SetColor(kTextColor, -1);
  m_tileCallout = std::make_unique<OrvHgeImage>(kTileCalloutPath, false);
  m_lotCallout = std::make_unique<OrvHgeImage>(kLotCalloutPath, false);
  LoadConfig();
}

void CGoodsDescription::LoadConfig() { m_catalogue.LoadDefault(); }

void CGoodsDescription::Show(std::uint32_t slotIndex, std::uint32_t tileIndex, bool anchored) {
  m_slotIndex = slotIndex;
  m_tileIndex = tileIndex;
  m_anchored = anchored;
  BuildLines();
}

void CGoodsDescription::BuildLines() {
  m_lines.clear();
  m_goodsId = 0;
  // Slot indices from 7 on mean "nothing"; they must not find an item a bad list might hold.
  if (m_slotIndex >= kPositionCount) return;
  const CBSceneItem* item = GetBuyData().GetItemBySlot(static_cast<int>(m_slotIndex));
  if (item == nullptr) return;
  m_goodsId = item->goodsId;
  m_lines.push_back(kNamePrefix + plat::GbkToUtf16(FieldText(item->goodsName)));

  const std::string* description = m_catalogue.Find(item->goodsId);
  if (description == nullptr) return;
  const std::u16string rest = plat::GbkToUtf16(*description);
  if (rest.empty()) return;
  if (m_font) {
    WrapText(*m_font, rest, kWrapWidth, &m_lines);
  } else {
    m_lines.push_back(rest);  // nothing to measure with: one line, as a zero-width font gives
  }
}

void CGoodsDescription::WrapText(const OrvHgeFont& font, const std::u16string& text, int maxWidth,
                                 std::vector<std::u16string>* lines) {
  if (lines == nullptr || text.empty()) return;
  const std::size_t length = text.size();

  // The font measures a text as the sum of its characters' advances, so prefix sums find each
  // line without measuring every prefix. Each candidate is checked with real measurements and
  // the line falls back to shortening one character at a time if the check fails.
  std::vector<long long> prefix(length + 1, 0);
  bool monotone = true;
  std::u16string one(1, u' ');
  for (std::size_t i = 0; i < length; ++i) {
    one[0] = text[i];
    const int w = font.getWidth(one);
    if (w < 0) monotone = false;
    prefix[i + 1] = prefix[i] + w;
  }

  std::size_t start = 0;
  while (start < length) {
    const std::size_t remaining = length - start;
    std::size_t n = 0;
    bool confirmed = false;
    if (monotone) {
      const long long limit = prefix[start] + maxWidth;
      const auto first = prefix.begin() + static_cast<std::ptrdiff_t>(start + 1);
      n = static_cast<std::size_t>(std::upper_bound(first, prefix.end(), limit) - first);
      if (n == 0) n = 1;
      const bool fits = n == 1 || MeasurePrefix(font, text, start, n) <= maxWidth;
      const bool longest = n == remaining || MeasurePrefix(font, text, start, n + 1) > maxWidth;
      confirmed = fits && longest;
    }
    if (!confirmed) n = NaiveLineLength(font, text, start, maxWidth);
    lines->push_back(text.substr(start, n));
    start += n;
  }
}

void CGoodsDescription::Draw(gcn::Graphics* g) {
  if (m_slotIndex >= kPositionCount || m_lines.empty()) return;
  if (m_anchored) {
    OrvHgeGraphics* og = ToOrvGraphics(g);
    if (og && m_lotCallout) og->drawImage(m_lotCallout.get(), kLotCalloutX, kLotCalloutY);
    DrawLines(g, kLotTextX, kLotTextY);
    return;
  }
  DrawTileCallout(g);
}

void CGoodsDescription::DrawTileCallout(gcn::Graphics* g) {
  if (m_tileIndex >= kPositionCount) return;  // no place for it
  const Point p = m_positions[m_tileIndex];
  const int column = static_cast<int>(m_tileIndex / kTilesPerColumn);
  // Tile 6 would ask for a third frame; the image has two, so it takes the bottom one.
  const int frame = std::min(column, kTileFrames - 1);
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og && m_tileCallout) {
    const int h = m_tileCallout->getHeight() / kTileFrames;
    og->drawImage(m_tileCallout.get(), m_tileCallout->getWidth(), h, 0, h * frame, static_cast<float>(p.x),
                  static_cast<float>(p.y));
  }
  const int inset = kTextInset + (column == 0 ? kLeftColumnExtraInset : 0);
  DrawLines(g, p.x + inset, p.y + kTextInset);
}

void CGoodsDescription::DrawLines(gcn::Graphics* g, int x, int y) {
  if (!m_font) return;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    m_font->drawString(g, m_lines[i], x, y + kLineStep * static_cast<int>(i), OrvHgeFont::kAlignLeft);
  }
}
