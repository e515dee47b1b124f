#pragma once
// CSellRecord: the sales history window. Lists the most recent closed lots, ten rows a page,
// at most 30 rows, with a close button, two page buttons and a "page/pages" indicator.
//
// The server sends the rows on its own (SUB_S_RECENTLY_RESULT); the dialog hands every body
// to SetRecords, visible or not, and receiving rows never opens the window. The main view
// builds the widgets once with Create, adds the window to itself and hides it. Rows stay raw
// wire records; their texts are read up to the first zero byte or the end of the field.
// One process-wide instance (GetSellRecord).
#include <cstdint>
#include <memory>
#include <string>

#include <guichan/graphics.hpp>

#include "client/core/cmd_velmora.h"
#include "include/array.h"
#include "platform/toolkit/orvhgewindow.h"

class OrvHgeButton;
class OrvHgeFont;
class OrvHgeImage;

class CSellRecord : public OrvHgeWindow {
 public:
  using Row = CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP;

  static constexpr int kCloseButtonId = 104;
  static constexpr int kPrevButtonId = 105;
  static constexpr int kNextButtonId = 106;
  static constexpr int kMaxRows = 30;
  static constexpr int kRowsPerPage = 10;

  CSellRecord();
  ~CSellRecord() override;

  // Background (which gives the window its size), the three buttons and the two fonts.
  // Only the first call does anything.
  void Create();
  // Replaces the rows with the first 30 records of a SUB_S_RECENTLY_RESULT body and returns
  // to the first page. A size that is not a multiple of the record size (or a null body with
  // a size) is ignored: rows and page stay as they were.
  void SetRecords(const void* data, std::uint16_t size);
  // Previous enabled exactly on pages after the first, next exactly when rows follow.
  void UpdatePageButtons();

  void OnCommand(int id) override;
  void draw(gcn::Graphics* g) override;

  int GetRowCount() const { return m_rows.GetCount(); }
  const Row& GetRow(int index) const { return m_rows.ElementAt(index); }
  std::uint16_t GetPageIndex() const { return m_pageIndex; }
  int GetPageCount() const;
  OrvHgeButton* CloseButton() const { return m_closeButton.get(); }
  OrvHgeButton* PrevButton() const { return m_prevButton.get(); }
  OrvHgeButton* NextButton() const { return m_nextButton.get(); }

 private:
  bool HasNextPage() const;
  void DrawRow(gcn::Graphics* g, const Row& row, int y);
  // Draws m_text with the font, centred on x.
  void DrawCentred(gcn::Graphics* g, OrvHgeFont* font, int x, int y);
  // printf-style formatting into m_text, reusing its buffer (texts here are short numbers).
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

  std::unique_ptr<OrvHgeImage> m_background;
  std::unique_ptr<OrvHgeButton> m_closeButton;
  std::unique_ptr<OrvHgeButton> m_prevButton;
  std::unique_ptr<OrvHgeButton> m_nextButton;
  std::unique_ptr<OrvHgeFont> m_rowFont;
  std::unique_ptr<OrvHgeFont> m_headerFont;
  std::string m_text;
  std::uint16_t m_pageIndex = 0;
  CArrayTemplate<Row, const Row&> m_rows;
};

// The process-wide sales history window.
CSellRecord& GetSellRecord();
