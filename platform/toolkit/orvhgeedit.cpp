#include "platform/toolkit/orvhgeedit.h"

#include <algorithm>

#include <guichan/key.hpp>
#include <guichan/rectangle.hpp>

#include "platform/text/textconv.h"
#include "platform/toolkit/gbktext.h"
#include "platform/toolkit/orvhgefont.h"

namespace {

bool IsSpecialKey(int v) { return v >= gcn::Key::LEFT_ALT && v <= gcn::Key::DOWN; }

// The GBK bytes a key would insert; empty when it inserts nothing.
std::string KeyText(int v) {
  if (v < 0x20 || v == 0x7F || IsSpecialKey(v) || v > 0x10FFFF) return {};
  if (v < 0x80) return std::string(1, static_cast<char>(v));
  std::u16string wide;
  if (v > 0xFFFF) {
    const int c = v - 0x10000;
    wide.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else {
    wide.push_back(static_cast<char16_t>(v));
  }
  std::string gbk = plat::Utf16ToGbk(wide);
  // '?' is how GBK says "cannot hold this": drop the key instead of typing a '?'.
  return gbk == "?" ? std::string() : gbk;
}

}  // namespace

OrvHgeEdit::OrvHgeEdit() {
  setFrameSize(0);
  setBaseColor(gcn::Color(0, 0, 0, 255));
}

void OrvHgeEdit::setFont(gcn::Font* font) { gcn::TextField::setFont(font); }

// Also reached through gcn::Widget::setFont, which is not virtual.
void OrvHgeEdit::fontChanged() {
  m_orvFont = dynamic_cast<OrvHgeFont*>(getFont());
  KeepCaretVisible();
}

void OrvHgeEdit::setText(const std::string& text) {
  mText = text;
  mCaretPosition = static_cast<unsigned>(mText.size());
  KeepCaretVisible();
}

int OrvHgeEdit::TextWidth(const std::string& gbk) const {
  if (m_orvFont) return m_orvFont->getWidth(gbk);
  return getFont() ? getFont()->getWidth(gbk) : 0;
}

int OrvHgeEdit::IndexAt(int x) const {
  const int local = x + mXScroll - kTextPadding;
  std::size_t i = 0, best = 0;
  int pen = 0;
  while (i < mText.size()) {
    const std::size_t n = plat::GbkCharLength(mText, i);
    const int adv = TextWidth(mText.substr(i, n));
    if (local < pen + adv / 2) return static_cast<int>(i);
    pen += adv;
    i += n;
    best = i;
  }
  return static_cast<int>(best);
}

void OrvHgeEdit::KeepCaretVisible() {
  const int caret = TextWidth(mText.substr(0, mCaretPosition));
  const int room = std::max(getWidth() - 2 * kTextPadding, 1);
  if (caret - mXScroll > room) mXScroll = caret - room;
  if (caret - mXScroll < 0) mXScroll = caret;
  mXScroll = std::max(mXScroll, 0);
}

void OrvHgeEdit::Emit(const char* id) {
  setActionEventId(id);
  distributeActionEvent();
}

bool OrvHgeEdit::Insert(const std::string& gbk) {
  if (gbk.empty()) return false;
  if (m_numOnly && !(gbk.size() == 1 && gbk[0] >= '0' && gbk[0] <= '9')) return false;
  if (m_maxLength > 0 && mText.size() + gbk.size() > m_maxLength) return false;
  mText.insert(mCaretPosition, gbk);
  mCaretPosition += static_cast<unsigned>(gbk.size());
  return true;
}

void OrvHgeEdit::keyPressed(gcn::KeyEvent& e) {
  const int v = e.getKey().getValue();
  bool changed = false;
  bool handled = true;
  const std::size_t caret = std::min<std::size_t>(mCaretPosition, mText.size());
  switch (v) {
    case gcn::Key::LEFT:
      mCaretPosition = static_cast<unsigned>(plat::GbkPrevCharStart(mText, caret));
      break;
    case gcn::Key::RIGHT:
      mCaretPosition = static_cast<unsigned>(caret + plat::GbkCharLength(mText, caret));
      break;
    case gcn::Key::HOME:
      mCaretPosition = 0;
      break;
    case gcn::Key::END:
      mCaretPosition = static_cast<unsigned>(mText.size());
      break;
    case gcn::Key::BACKSPACE:
      if (caret > 0) {
        const std::size_t start = plat::GbkPrevCharStart(mText, caret);
        mText.erase(start, caret - start);
        mCaretPosition = static_cast<unsigned>(start);
        changed = true;
      }
      break;
    case gcn::Key::DELETE:
      if (caret < mText.size()) {
        mText.erase(caret, plat::GbkCharLength(mText, caret));
        changed = true;
      }
      break;
    case gcn::Key::ENTER:
      e.consume();
      KeepCaretVisible();
      Emit(kEnterId);
      return;
    case gcn::Key::TAB:
      handled = false;  // focus moves on
      break;
    default:
      if (e.isControlPressed() || e.isAltPressed()) {
        handled = false;
      } else {
        const std::string text = KeyText(v);
        handled = !text.empty();
        changed = Insert(text);
      }
      break;
  }
  if (handled) e.consume();
  KeepCaretVisible();
  if (changed) Emit(kChangeTextId);
}

void OrvHgeEdit::mousePressed(gcn::MouseEvent& e) {
  if (e.getButton() == gcn::MouseEvent::LEFT) {
    mCaretPosition = static_cast<unsigned>(IndexAt(e.getX()));
    KeepCaretVisible();
  }
}

void OrvHgeEdit::mouseDragged(gcn::MouseEvent& e) { e.consume(); }

void OrvHgeEdit::DrawTextOf(gcn::Graphics* g, int x, int y) {
  if (m_orvFont) {
    m_orvFont->SetColor(getBaseColor(), -1);
    m_orvFont->drawString(g, mText, x, y, OrvHgeFont::kAlignLeft);
  } else if (getFont()) {
    g->setColor(getBaseColor());
    g->setFont(getFont());
    g->drawText(mText, x, y);
  }
}

void OrvHgeEdit::draw(gcn::Graphics* g) {
  if (m_opaque) {
    g->setColor(getBackgroundColor());
    g->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
  }
  const int fontH = getFont() ? getFont()->getHeight() : 0;
  const int y = (getHeight() - fontH) / 2;
  const int x = kTextPadding - mXScroll;
  DrawTextOf(g, x, y);
  if (isFocused()) drawCaret(g, x + TextWidth(mText.substr(0, mCaretPosition)));
}

void OrvHgeEdit::drawCaret(gcn::Graphics* g, int x) {
  g->setColor(getBaseColor());
  g->drawLine(x, 1, x, getHeight() - 2);
}
