#pragma once
// A read-only box of wide text lines (the message view's lists).
//
// Callers may rely on:
//  - addStr(text, colour, flags, linkColour) appends text as a new line (a '\n' inside starts
//    further lines); flags 0 draws it in colour; flags kLink draws it in linkColour,
//    underlined;
//  - setText(text) replaces all lines by text in the default colour (black); setText(u"")
//    clears the box;
//  - lines wider than the box wrap at the box width (when the width is above 0); the height
//    follows the number of rows: rows x GetLineHeight();
//  - GetLineHeight() = font height + kLineGap (kDefaultLineHeight with no font);
//  - RemoveFirstLines(n) drops the n oldest lines (all when n is larger) and re-wraps nothing;
//  - Revision() changes on every change of the text (the scroll area follows it);
//  - lines dropped or cleared keep their storage for the next lines, so a box that keeps about
//    as many lines as before takes new ones without allocating.
// The box does not own its font.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <guichan/color.hpp>
#include <guichan/graphics.hpp>
#include <guichan/widget.hpp>

class OrvHgeFont;

class OrvHgeTextBox : public gcn::Widget {
 public:
  enum Flags { kPlain = 0, kLink = 1 };
  static constexpr int kLineGap = 4;
  static constexpr int kDefaultLineHeight = 16;

  OrvHgeTextBox();

  void setFont(OrvHgeFont* font);
  OrvHgeFont* GetFont() const { return m_font; }
  int GetLineHeight() const;
  void setText(std::u16string_view text);
  void addStr(std::u16string_view text, const gcn::Color& color, int flags,
              const gcn::Color& linkColor);
  void RemoveFirstLines(std::size_t n);

  std::size_t LineCount() const { return m_lineCount; }
  std::size_t RowCount();
  const std::u16string& LineText(std::size_t i) const { return LineAt(i).text; }
  std::uint64_t Revision() const { return m_revision; }
  // Lines wrapped so far (tests: a steady box wraps nothing).
  std::uint64_t WrappedLines() const { return m_wrapped; }

  void draw(gcn::Graphics* g) override;
  void logic() override;

 private:
  struct TextLine {
    std::u16string text;
    gcn::Color color;
    int flags = kPlain;
    gcn::Color linkColor;
  };
  struct Row {
    std::uint64_t line;  // the line's number since the box was made (see m_firstNumber)
    std::size_t begin, length;
  };

  TextLine& LineAt(std::size_t i) { return m_lines[(m_firstSlot + i) % m_lines.size()]; }
  const TextLine& LineAt(std::size_t i) const { return m_lines[(m_firstSlot + i) % m_lines.size()]; }

  void AppendLines(std::u16string_view text, const gcn::Color& color, int flags,
                   const gcn::Color& linkColor);
  void Relayout();
  void WrapLine(std::size_t index);

  OrvHgeFont* m_font = nullptr;
  // A ring: m_lineCount lines from slot m_firstSlot on, the other slots spare storage. Dropping
  // the oldest lines only moves the start, and rows name lines by a running number, so neither
  // strings nor rows move.
  std::vector<TextLine> m_lines;
  std::size_t m_firstSlot = 0;
  std::size_t m_lineCount = 0;
  std::uint64_t m_firstNumber = 0;  // running number of the first line
  std::vector<Row> m_rows;
  std::u16string m_rowText;  // the row being drawn, kept for its storage
  int m_layoutWidth = -1;
  std::uint64_t m_layoutRevision = 0;  // the text m_rows were made for
  std::uint64_t m_revision = 0;
  // The layout before the last one: a scroll area tries its full width and then the width
  // beside its bar every frame, and neither needs wrapping again while the text stays.
  std::vector<Row> m_otherRows;
  int m_otherWidth = -1;
  std::uint64_t m_otherRevision = ~std::uint64_t{0};
  std::uint64_t m_wrapped = 0;
};
