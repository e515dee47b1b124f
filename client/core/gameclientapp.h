#pragma once
// CGameClientApp: the application object the frame finds at start-up. It answers the frame's
// configuration queries and makes the game's dialog.
#include <cstdint>

#include "platform/frame/gameframeapp.h"

class CGameClientApp : public CGameFrameApp {
 public:
  // How long the frame keeps a transient status line, in ms.
  static constexpr std::uint32_t kStatusTimeoutMs = 5000;

  CGameClientApp() = default;
  ~CGameClientApp() override = default;

  // Each feature query answers its own bit of the frame's flag word: everything on.
  std::uint32_t QueryRuleButton() override;
  std::uint32_t QueryChatView() override;
  std::uint32_t QueryUserFaces() override;
  std::uint32_t QueryStatusLine() override;
  std::uint32_t QueryLookOn() override;
  std::uint32_t QueryBankWindow() override;
  std::uint32_t QueryFrameRate() override;
  std::uint32_t QueryMessagesPerStep() override;
  std::uint32_t QueryStatusTimeoutMs() override;
  // A new CGameClientDlg; the frame owns it.
  CGameFrameDlg* CreateGameFrameDlg() override;
};

// The process-wide application; exists from static construction to process exit.
CGameClientApp& GetGameClientApp();
