#pragma once
// Base of the game's application object. The frame finds the one current application, asks it
// for its configuration once at start-up and for the dialog.
#include <cstdint>

#include "platform/frame/frameconfig.h"

class CGameFrameDlg;

class CGameFrameApp {
 public:
  CGameFrameApp();  // becomes the current application
  virtual ~CGameFrameApp();
  CGameFrameApp(const CGameFrameApp&) = delete;
  CGameFrameApp& operator=(const CGameFrameApp&) = delete;

  // Frame features, each answered as its bit of the flag word (any non-zero answer turns the
  // feature on, 0 turns it off). The base turns everything on.
  virtual std::uint32_t QueryRuleButton();  // kFrameFlagRuleButton
  virtual std::uint32_t QueryChatView();    // kFrameFlagChatView
  virtual std::uint32_t QueryUserFaces();   // kFrameFlagUserFaces
  virtual std::uint32_t QueryStatusLine();  // kFrameFlagStatusLine
  virtual std::uint32_t QueryLookOn();      // kFrameFlagLookOn
  virtual std::uint32_t QueryBankWindow();  // kFrameFlagBankWindow
  // Windowed frame rate; 0 = kDefaultFrameRate, capped at kMaxFrameRate.
  virtual std::uint32_t QueryFrameRate();
  // Server messages delivered per frame step; 0 = everything queued when the step began.
  virtual std::uint32_t QueryMessagesPerStep();
  // How long a transient status line stays, in ms; 0 = kDefaultStatusTimeoutMs.
  virtual std::uint32_t QueryStatusTimeoutMs();
  // The game's dialog, made with new; the frame owns it from then on. Null stops the start-up.
  virtual CGameFrameDlg* CreateGameFrameDlg() = 0;

  // Asks the nine configuration queries and keeps the flag word. Called by the frame.
  plat::FrameConfig LoadFrameConfig();
  std::uint32_t GetFrameFlags() const { return m_dwFrameFlags; }

  // The application constructed last and not yet destroyed, or null.
  static CGameFrameApp* GetCurrent();

 private:
  std::uint32_t m_dwFrameFlags = 0;
};

CGameFrameApp* AfxGetApp();
