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

void OrvHgeTextBox::setText(const std::u16string& text) {
  m_lines.clear();
  m_rows.clear();
  if (!text.empty()) AppendLines(text, kDefaultTextColor, kPlain, kDefaultTextColor);
  ++m_revision;
  Relayout();
}

void OrvHgeTextBox::addStr(const std::u16string& text, const gcn::Color& color, int flags,
                           const gcn::Color& linkColor) {
  AppendLines(text, color, flags, linkColor);
  ++m_revision;
  // Only the new lines need wrapping while the width is unchanged.
  if (m_layoutWidth == getWidth()) {
    setHeight(static_cast<int>(m_rows.size()) * GetLineHeight());
  } else {
    Relayout();
  }
}

void OrvHgeTextBox::AppendLines(const std::u16string& text, const gcn::Color& color, int flags,
                                const gcn::Color& linkColor) {
  std::size_t start = 0;
  while (true) {
    const std::size_t nl = text.find(u'\n', start);
    TextLine line{text.substr(start, nl == std::u16string::npos ? std::u16string::npos : nl - start),
              color, flags, linkColor};
    if (!line.text.empty() && line.text.back() == u'\r') line.text.pop_back();
    m_lines.push_back(std::move(line));
    if (m_layoutWidth == getWidth()) WrapLine(m_lines.size() - 1);
    if (nl == std::u16string::npos) break;
    start = nl + 1;
  }
}

void OrvHgeTextBox::WrapLine(std::size_t index) {
  const std::u16string& t = m_lines[index].text;
  const int width = getWidth();
  if (!m_font || width <= 0 || t.empty()) {
    m_rows.push_back(Row{index, 0, t.size()});
    return;
  }
  std::size_t begin = 0;
  while (begin < t.size()) {
    int pen = 0;
    std::size_t end = begin;
    std::size_t lastSpace = std::u16string::npos;
    while (end < t.size()) {
      const int adv = m_font->getWidth(t.substr(end, 1));
      if (pen + adv > width && end > begin) break;
      if (t[end] == u' ') lastSpace = end;
      pen += adv;
      ++end;
    }
    // Latin words break at a space when there is one; CJK text breaks anywhere.
    if (end < t.size() && lastSpace != std::u16string::npos && lastSpace > begin &&
        t[end] != u' ' && t[end - 1] < 0x2E80)
      end = lastSpace + 1;
    m_rows.push_back(Row{index, begin, end - begin});
    begin = end;
  }
}

void OrvHgeTextBox::Relayout() {
  m_rows.clear();
  m_layoutWidth = getWidth();
  for (std::size_t i = 0; i < m_lines.size(); ++i) WrapLine(i);
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
    const TextLine& line = m_lines[row.line];
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
