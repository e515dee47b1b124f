#pragma once
// A one-line edit field for GBK text.
//
// Callers may rely on:
//  - every change made by the user (typing, Backspace, Delete) sends an action event with the
//    id "changeText"; Enter sends "enter". setText changes the text silently (no event), so a
//    handler may rewrite the field without being called again;
//  - numbers only (SetNumOnly(true)) admits the digits 0-9 alone; other keys that would insert
//    something are dropped without an event;
//  - wide characters typed (text input) are stored as GBK; characters GBK cannot hold are
//    dropped; the caret never stands inside a two-byte character;
//  - SetMaxLength(n) caps the text at n bytes for typing (0 = no cap, the default);
//  - the field draws no background or border (a skin image goes under it) unless SetOpaque;
//    its text is drawn with its font in the base colour (setBaseColor), vertically centred;
//  - while focused, drawCaret(g, x) is called with the caret's x in field coordinates; the
//    default draws a 1-pixel line in the text colour over the field's height.
#include <string>

#include <guichan/font.hpp>
#include <guichan/graphics.hpp>
#include <guichan/keyevent.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/widgets/textfield.hpp>

class OrvHgeFont;

class OrvHgeEdit : public gcn::TextField {
 public:
  static constexpr const char* kChangeTextId = "changeText";
  static constexpr const char* kEnterId = "enter";
  static constexpr int kTextPadding = 2;

  OrvHgeEdit();

  void setFont(gcn::Font* font);
  void SetNumOnly(bool numOnly) { m_numOnly = numOnly; }
  void SetMaxLength(std::size_t bytes) { m_maxLength = bytes; }
  void SetOpaque(bool opaque) { m_opaque = opaque; }
  std::string getText() const { return mText; }
  void setText(const std::string& text);

  void draw(gcn::Graphics* g) override;
  virtual void drawCaret(gcn::Graphics* g, int x) override;
  void keyPressed(gcn::KeyEvent& e) override;
  void mousePressed(gcn::MouseEvent& e) override;
  void mouseDragged(gcn::MouseEvent& e) override;
  void fontChanged() override;

 private:
  bool Insert(const std::string& gbk);
  void Emit(const char* id);
  int TextWidth(const std::string& gbk) const;
  int IndexAt(int x) const;
  void DrawTextOf(gcn::Graphics* g, int x, int y);
  void KeepCaretVisible();

  bool m_numOnly = false;
  bool m_opaque = false;
  std::size_t m_maxLength = 0;
  OrvHgeFont* m_orvFont = nullptr;
};
