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
//  - Revision() changes on every change of the text (the scroll area follows it).
// The box does not own its font.
#include <cstdint>
#include <string>
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
  void setText(const std::u16string& text);
  void addStr(const std::u16string& text, const gcn::Color& color, int flags,
              const gcn::Color& linkColor);

  std::size_t LineCount() const { return m_lines.size(); }
  std::size_t RowCount();
  const std::u16string& LineText(std::size_t i) const { return m_lines[i].text; }
  std::uint64_t Revision() const { return m_revision; }

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
    std::size_t line;
    std::size_t begin, length;
  };

  void AppendLines(const std::u16string& text, const gcn::Color& color, int flags,
                   const gcn::Color& linkColor);
  void Relayout();
  void WrapLine(std::size_t index);

  OrvHgeFont* m_font = nullptr;
  std::vector<TextLine> m_lines;
  std::vector<Row> m_rows;
  std::u16string m_rowText;  // the row being drawn, kept for its storage
  int m_layoutWidth = -1;
  std::uint64_t m_revision = 0;
};
