#pragma once
// MessageView: the two-tab panel on the bottom edge of the frame's top window, 5 pixels from
// its right edge. Tab 1 lists lucky winners, tab 2 the player's own purchases; each keeps its
// newest 60 lines, and a list that receives a line becomes the shown tab.
//
// Lines are UTF-16 exactly as the dialog composed them (a single space " " is the separator
// line). The text box holds the shown list, oldest line first: a tab switch or a clear
// rebuilds it, while a line for the tab already shown is only appended there (and the oldest
// dropped), so a steady stream of lines re-wraps nothing and, once both lists are full,
// allocates nothing (the oldest line's storage takes the new one). Keeping the newest line in
// sight is left to the scroll area: it scrolls to the end whenever the text box's text
// changes, so after every change the last line is visible (tested).
//
// The main view creates the view and calls Create once; Create attaches it to the top window.
// Single UI thread.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "platform/toolkit/orvhgecontainer.h"

class OrvHgeButton;
class OrvHgeFont;
class OrvHgeImage;
class OrvHgeScrollArea;
class OrvHgeTextBox;

class MessageView : public OrvHgeContainer {
 public:
  enum Tab : std::uint16_t { kNoTab = 0, kLuckyUserTab = 1, kMyBuyTab = 2 };
  static constexpr std::size_t kMaxLines = 60;

  MessageView();
  ~MessageView() override;

  // Builds the tab buttons, the scroll area with its text box, sizes and places the view and
  // adds it to the top window. Only the first call does anything.
  virtual void Create();

  void AddLuckyUserLine(std::u16string_view line);
  void AddMyBuyLine(std::u16string_view line);
  // Empties both lists (the server sends them whole again on every entry).
  void ClearLines();
  // Tabs other than 1 and 2 change nothing. The text is rebuilt also for the shown tab.
  void ShowTab(std::uint16_t tab);
  void RefillText(bool luckyUsers);
  void UpdateTabButtons();

  void OnCommand(int id) override;

  std::uint16_t GetActiveTab() const { return m_activeTab; }
  const std::list<std::u16string>& LuckyUserLines() const { return m_luckyUserLines; }
  const std::list<std::u16string>& MyBuyLines() const { return m_myBuyLines; }
  OrvHgeTextBox* TextBox() const { return m_textBox.get(); }
  OrvHgeScrollArea* ScrollArea() const { return m_scrollArea.get(); }
  OrvHgeButton* LuckyUserButton() const { return m_luckyUserButton.get(); }
  OrvHgeButton* MyBuyButton() const { return m_myBuyButton.get(); }

 private:
  void AddLine(Tab tab, std::list<std::u16string>& lines, std::u16string_view line);

  std::unique_ptr<OrvHgeImage> m_scrollImage;
  std::unique_ptr<OrvHgeTextBox> m_textBox;
  std::unique_ptr<OrvHgeScrollArea> m_scrollArea;
  std::unique_ptr<OrvHgeButton> m_luckyUserButton;
  std::unique_ptr<OrvHgeButton> m_myBuyButton;
  std::unique_ptr<OrvHgeFont> m_font;
  std::list<std::u16string> m_luckyUserLines;
  std::list<std::u16string> m_myBuyLines;
  std::uint16_t m_activeTab = kNoTab;
  std::uint16_t m_boxHolds = kNoTab;  // the list the text box was last filled from
};
