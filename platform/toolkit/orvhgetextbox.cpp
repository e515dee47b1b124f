#include "platform/toolkit/orvhgetextbox.h"

#include <algorithm>

#include <guichan/cliprectangle.hpp>

#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"

namespace {
const gcn::Color kDefaultTextColor(0, 0, 0, 255);
}

OrvHgeTextBox::OrvHgeTextBox() {
  setFocusable(false);
  setFrameSize(0);
}

void OrvHgeTextBox::setFont(OrvHgeFont* font) {
  m_font = font;
  gcn::Widget::setFont(font);
  m_layoutWidth = -1;
  ++m_revision;
  Relayout();
}

int OrvHgeTextBox::GetLineHeight() const {
  return m_font ? m_font->getHeight() + kLineGap : kDefaultLineHeight;
}

void OrvHgeTextBox::setText(std::u16string_view text) {
  m_lineCount = 0;
  m_rows.clear();
  if (!text.empty()) AppendLines(text, kDefaultTextColor, kPlain, kDefaultTextColor);
  ++m_revision;
  Relayout();
}

void OrvHgeTextBox::addStr(std::u16string_view text, const gcn::Color& color, int flags,
                           const gcn::Color& linkColor) {
  AppendLines(text, color, flags, linkColor);
  ++m_revision;
  // Only the new lines need wrapping while the width is unchanged.
  if (m_layoutWidth == getWidth()) {
    m_layoutRevision = m_revision;
    setHeight(static_cast<int>(m_rows.size()) * GetLineHeight());
  } else {
    Relayout();
  }
}

void OrvHgeTextBox::RemoveFirstLines(std::size_t n) {
  n = std::min(n, m_lineCount);
  if (n == 0) return;
  m_firstSlot = (m_firstSlot + n) % m_lines.size();
  m_lineCount -= n;
  m_firstNumber += n;
  ++m_revision;
  if (m_layoutWidth != getWidth()) {
    Relayout();
    return;
  }
  // Rows are in line order, so the dropped lines' rows lead.
  const std::uint64_t first = m_firstNumber;
  const auto kept = std::find_if(m_rows.begin(), m_rows.end(), [first](const Row& r) { return r.line >= first; });
  m_rows.erase(m_rows.begin(), kept);
  m_layoutRevision = m_revision;
  setHeight(static_cast<int>(m_rows.size()) * GetLineHeight());
}

void OrvHgeTextBox::AppendLines(std::u16string_view text, const gcn::Color& color, int flags,
                                const gcn::Color& linkColor) {
  std::size_t start = 0;
  while (true) {
    const std::size_t nl = text.find(u'\n', start);
    std::u16string_view piece = text.substr(start, nl == std::u16string_view::npos ? nl : nl - start);
    if (!piece.empty() && piece.back() == u'\r') piece.remove_suffix(1);
    if (m_lineCount == m_lines.size()) {
      // Full ring: straighten it so the new slot goes at the end.
      std::rotate(m_lines.begin(), m_lines.begin() + static_cast<std::ptrdiff_t>(m_firstSlot), m_lines.end());
      m_firstSlot = 0;
      m_lines.emplace_back();
    }
    TextLine& line = LineAt(m_lineCount++);
    line.text.assign(piece);
    line.color = color;
    line.flags = flags;
    line.linkColor = linkColor;
    if (m_layoutWidth == getWidth()) WrapLine(m_lineCount - 1);
    if (nl == std::u16string_view::npos) break;
    start = nl + 1;
  }
}

void OrvHgeTextBox::WrapLine(std::size_t index) {
  ++m_wrapped;
  const std::u16string& t = LineAt(index).text;
  const std::uint64_t number = m_firstNumber + index;
  const int width = getWidth();
  if (!m_font || width <= 0 || t.empty()) {
    m_rows.push_back(Row{number, 0, t.size()});
    return;
  }
  std::size_t begin = 0;
  while (begin < t.size()) {
    int pen = 0;
    std::size_t end = begin;
    std::size_t lastSpace = std::u16string::npos;
    while (end < t.size()) {
      const int adv = m_font->CharWidth(t[end]);
      if (pen + adv > width && end > begin) break;
      if (t[end] == u' ') lastSpace = end;
      pen += adv;
      ++end;
    }
    // Latin words break at a space when there is one; CJK text breaks anywhere.
    if (end < t.size() && lastSpace != std::u16string::npos && lastSpace > begin &&
        t[end] != u' ' && t[end - 1] < 0x2E80)
      end = lastSpace + 1;
    m_rows.push_back(Row{number, begin, end - begin});
    begin = end;
  }
}

void OrvHgeTextBox::Relayout() {
  const int width = getWidth();
  // Either way the current layout becomes the other one.
  std::swap(m_rows, m_otherRows);
  std::swap(m_layoutWidth, m_otherWidth);
  std::swap(m_layoutRevision, m_otherRevision);
  if (m_layoutWidth != width || m_layoutRevision != m_revision) {
    m_rows.clear();
    m_layoutWidth = width;
    m_layoutRevision = m_revision;
    for (std::size_t i = 0; i < m_lineCount; ++i) WrapLine(i);
  }
  setHeight(static_cast<int>(m_rows.size()) * GetLineHeight());
}

std::size_t OrvHgeTextBox::RowCount() {
  if (m_layoutWidth != getWidth()) Relayout();
  return m_rows.size();
}

void OrvHgeTextBox::logic() {
  if (m_layoutWidth != getWidth()) {
    ++m_revision;
    Relayout();
  }
}

void OrvHgeTextBox::draw(gcn::Graphics* g) {
  if (m_layoutWidth != getWidth()) Relayout();
  if (!m_font || m_rows.empty()) return;
  const int lineH = GetLineHeight();
  // Only the rows inside the clip area (a long list in a small scroll area).
  const gcn::ClipRectangle& clip = g->getCurrentClipArea();
  const int top = clip.y - clip.yOffset;
  const int first = std::max(top / lineH, 0);
  const int last = std::min<int>((top + clip.height) / lineH + 1, static_cast<int>(m_rows.size()));
  const int gapTop = kLineGap / 2;
  for (int r = first; r < last; ++r) {
    const Row& row = m_rows[r];
    const TextLine& line = LineAt(static_cast<std::size_t>(row.line - m_firstNumber));
    const bool link = (line.flags & kLink) != 0;
    const gcn::Color& color = link ? line.linkColor : line.color;
    std::u16string& text = m_rowText;
    text.assign(line.text, row.begin, row.length);
    const int y = r * lineH + gapTop;
    m_font->SetColor(color, -1);
    m_font->drawString(g, text, 0, y, OrvHgeFont::kAlignLeft);
    if (link) {
      g->setColor(color);
      const int underline = y + m_font->getHeight();
      g->drawLine(0, underline, m_font->getWidth(text) - 1, underline);
    }
  }
}
