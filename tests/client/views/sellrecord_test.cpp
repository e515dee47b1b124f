#include "client/views/sellrecord.h"

#include <cstring>
#include <vector>

#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/client/views/windowviewfixture.h"

namespace windowviews {
namespace {

using Row = CSellRecord::Row;

Row MakeRow(std::uint32_t number) {
  Row r{};
  r.goodsNumber = number;
  SetFieldText(r.goodsName, plat::Utf8ToGbk("金龙手表"));
  SetFieldText(r.winnerNickname, "winner" + std::to_string(number));
  r.winnerShares = number * 10;
  SetFieldText(r.drawTime, "2026-12-09 10:00");
  return r;
}

std::vector<Row> MakeRows(int count) {
  std::vector<Row> rows;
  for (int i = 1; i <= count; ++i) rows.push_back(MakeRow(static_cast<std::uint32_t>(i)));
  return rows;
}

class SellRecordTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    UseFakeGlyphs(true);
    m_window = std::make_unique<CSellRecord>();
    m_window->Create();
  }
  void TearDown() override {
    m_window.reset();
    ViewTest::TearDown();
  }
  void Give(const std::vector<Row>& rows) {
    m_window->SetRecords(rows.data(), static_cast<std::uint16_t>(rows.size() * sizeof(Row)));
  }
  std::vector<plat::DrawRecord> DrawWindow() {
    return Capture([&](gcn::Graphics* g) { m_window->draw(g); });
  }
  // The page indicator drawn, or "" when there is none.
  std::string Indicator() {
    const auto texts = TextsAt(DrawWindow(), 338);
    return texts.empty() ? std::string() : texts.front().what;
  }
  bool PrevEnabled() const { return m_window->PrevButton()->isEnabled(); }
  bool NextEnabled() const { return m_window->NextButton()->isEnabled(); }

  std::unique_ptr<CSellRecord> m_window;
};

TEST_F(SellRecordTest, EmptyHistoryShowsHeaderOnly) {
  Give({});
  const auto log = DrawWindow();
  EXPECT_EQ(m_window->getWidth(), kHistoryW);
  EXPECT_EQ(m_window->getHeight(), kHistoryH);
  const auto header = TextsAt(log, 85);
  ASSERT_EQ(header.size(), 5u);
  EXPECT_EQ(header[0].what, "商品号");
  EXPECT_EQ(header[4].what, "开奖时间");
  EXPECT_TRUE(SameColor(header[0].color, gcn::Color(240, 40, 40, 255)));
  EXPECT_EQ(OfKind(log, plat::DrawRecord::Text).size(), 5u);  // no rows, no indicator
  EXPECT_FALSE(PrevEnabled());
  EXPECT_FALSE(NextEnabled());
}

TEST_F(SellRecordTest, PageCountsFollowRowCount) {
  Give(MakeRows(10));
  EXPECT_EQ(Indicator(), "1/1");
  EXPECT_FALSE(NextEnabled());
  EXPECT_FALSE(PrevEnabled());

  Give(MakeRows(30));
  EXPECT_EQ(Indicator(), "1/3");
  EXPECT_TRUE(NextEnabled());

  Give(MakeRows(35));  // only the first 30 are kept
  EXPECT_EQ(m_window->GetRowCount(), 30);
  EXPECT_EQ(m_window->GetRow(29).goodsNumber, 30u);
  EXPECT_EQ(Indicator(), "1/3");
}

TEST_F(SellRecordTest, SecondPageOfElevenRowsShowsOnlyTheLastRow) {
  Give(MakeRows(11));
  EXPECT_EQ(Indicator(), "1/2");
  EXPECT_TRUE(NextEnabled());
  EXPECT_EQ(TextsAt(DrawWindow(), 110 + 22 * 9).size(), 5u);

  m_window->OnCommand(CSellRecord::kNextButtonId);
  const auto log = DrawWindow();
  const auto first = TextsAt(log, 110);
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[0].what, "11");
  EXPECT_EQ(first[2].what, "winner11");
  EXPECT_EQ(first[3].what, "110");
  EXPECT_TRUE(TextsAt(log, 132).empty());
  EXPECT_EQ(Indicator(), "2/2");
  EXPECT_TRUE(PrevEnabled());
  EXPECT_FALSE(NextEnabled());

  // Next on the last page and previous on the first change nothing.
  m_window->OnCommand(CSellRecord::kNextButtonId);
  EXPECT_EQ(m_window->GetPageIndex(), 1);
  m_window->OnCommand(CSellRecord::kPrevButtonId);
  m_window->OnCommand(CSellRecord::kPrevButtonId);
  EXPECT_EQ(m_window->GetPageIndex(), 0);
  EXPECT_FALSE(PrevEnabled());
  EXPECT_TRUE(NextEnabled());
}

TEST_F(SellRecordTest, RowsAreCentredOnTheirColumnsInTheRowColour) {
  Give(MakeRows(1));
  const auto row = TextsAt(DrawWindow(), 110);
  ASSERT_EQ(row.size(), 5u);
  const int centres[] = {45, 125, 230, 312, 410};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(row[c].x + row[c].w / 2, centres[c]) << "column " << c;
    EXPECT_TRUE(SameColor(row[c].color, gcn::Color(59, 33, 14, 255)));
  }
  EXPECT_EQ(row[1].what, "金龙手表");
  EXPECT_EQ(row[4].what, "2026-12-09 10:00");
  const auto page = TextsAt(DrawWindow(), 338);
  ASSERT_EQ(page.size(), 1u);
  EXPECT_EQ(page[0].x + page[0].w / 2, 244);
  EXPECT_TRUE(SameColor(page[0].color, gcn::Color(255, 255, 255, 255)));
}

TEST_F(SellRecordTest, BadBodySizesKeepRowsAndPage) {
  Give(MakeRows(25));
  m_window->OnCommand(CSellRecord::kNextButtonId);
  std::vector<unsigned char> bytes(sizeof(Row) + 1, 0);
  m_window->SetRecords(bytes.data(), static_cast<std::uint16_t>(sizeof(Row) - 1));
  m_window->SetRecords(bytes.data(), static_cast<std::uint16_t>(sizeof(Row) + 1));
  m_window->SetRecords(nullptr, static_cast<std::uint16_t>(sizeof(Row)));
  EXPECT_EQ(m_window->GetRowCount(), 25);
  EXPECT_EQ(m_window->GetPageIndex(), 1);
  EXPECT_EQ(Indicator(), "2/3");
}

TEST_F(SellRecordTest, NewRowsOnThirdPageReturnToFirstPage) {
  Give(MakeRows(30));
  m_window->OnCommand(CSellRecord::kNextButtonId);
  m_window->OnCommand(CSellRecord::kNextButtonId);
  ASSERT_EQ(Indicator(), "3/3");
  Give(MakeRows(12));
  EXPECT_EQ(m_window->GetPageIndex(), 0);
  EXPECT_EQ(Indicator(), "1/2");
  EXPECT_FALSE(PrevEnabled());
  EXPECT_TRUE(NextEnabled());
  const auto firstRow = TextsAt(DrawWindow(), 110);
  ASSERT_FALSE(firstRow.empty());
  EXPECT_EQ(firstRow[0].what, "1");

  Give({});  // an empty body empties the window
  EXPECT_EQ(Indicator(), "");
  EXPECT_FALSE(NextEnabled());
}

TEST_F(SellRecordTest, FullTextFieldsEndAtTheirFieldEdge) {
  Row r = MakeRow(5);
  std::memset(r.goodsName, 'N', sizeof r.goodsName);  // no terminating zero
  std::memset(r.winnerNickname, 'W', sizeof r.winnerNickname);
  std::memset(r.drawTime, 'T', sizeof r.drawTime);
  Give({r});
  const auto row = TextsAt(DrawWindow(), 110);
  ASSERT_EQ(row.size(), 5u);
  EXPECT_EQ(row[1].what, std::string(sizeof r.goodsName, 'N'));
  EXPECT_EQ(row[2].what, std::string(sizeof r.winnerNickname, 'W'));
  EXPECT_EQ(row[4].what, std::string(sizeof r.drawTime, 'T'));
}

TEST_F(SellRecordTest, ButtonsDriveTheWindowThroughClicks) {
  Give(MakeRows(15));
  m_window->setVisible(true);
  OrvHgeWindow top;
  top.setSize(1280, 720);
  top.add(m_window.get(), 100, 50);
  plat::GuiRunner runner(m_device.get());
  runner.SetTop(&top);
  auto click = [&](const gcn::Widget* w) {
    int x = 0, y = 0;
    w->getAbsolutePosition(x, y);
    runner.Input().InjectClick(x + w->getWidth() / 2, y + w->getHeight() / 2);
    runner.Logic();
  };
  click(m_window->NextButton());
  EXPECT_EQ(m_window->GetPageIndex(), 1);
  click(m_window->CloseButton());
  EXPECT_FALSE(m_window->isVisible());
  EXPECT_EQ(m_window->GetPageIndex(), 1);  // hiding keeps the page
  EXPECT_EQ(m_window->GetRowCount(), 15);
  top.remove(m_window.get());
}

}  // namespace
}  // namespace windowviews
