#pragma once
// Base of the game's dialog: the frame's one way into the game. The frame delivers server
// messages, the scene, window messages and its own events through the virtual hooks; the game
// sends requests with SendData and reads the local player with GetMeUserData.
#include <cstdint>
#include <optional>

#include "platform/frame/livemark.h"
#include "platform/frame/userdata.h"
#include "platform/frame/wintypes.h"

class CChatWiew;
class COrvGameFrameView;
class CGameFrameView;

namespace plat {
class ITransport;
}

class CGameFrameDlg {
 public:
  static constexpr std::uint16_t kInvalidChair = 0xFFFF;

  // `view` is the classic view; it must outlive the dialog (games keep it as a member).
  explicit CGameFrameDlg(CGameFrameView* view);
  virtual ~CGameFrameDlg();
  CGameFrameDlg(const CGameFrameDlg&) = delete;
  CGameFrameDlg& operator=(const CGameFrameDlg&) = delete;

  // Window messages sent or posted to the main window. Overrides handle their own messages and
  // pass the rest here; the base handles none and answers 0.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The frame's rule button or F1 was pressed.
  virtual void OnGameRule();
  // The frame's chat panel, made with new; the frame owns it. Null means no chat panel.
  virtual CChatWiew* CreateChatView();
  // Escape was pressed and no window of the frame's own was open: close the game's topmost
  // window. Answers whether one was closed.
  virtual bool OnEscapeKey();
  // Asked once at start-up, windowed: may the player resize the game window?
  virtual bool OnQueryCanResize();
  // Asked when the player closes the window: false keeps the game running.
  virtual bool OnQueryCanLeave();
  // After start-up, before the first frame step.
  virtual void OnEventFrameReady();
  // Once, before the frame stops delivering anything and destroys the dialog.
  virtual void OnEventFrameClosing();
  // A frame-level server message the frame does not handle itself; false rejects it.
  virtual bool OnFrameMessage(std::uint16_t subCmd, const void* data, std::uint16_t size);
  // The local user record arrived or changed (user null: it went away).
  virtual void OnEventUserEnter(const tagUserData* user, std::uint16_t chairId, bool lookOn);
  // One game message (main command 100); false rejects it.
  virtual bool OnGameMessage(std::uint16_t subCmd, const void* data, std::uint16_t size) = 0;
  // The game scene on entry; false rejects it.
  virtual bool OnGameScene(std::uint8_t status, bool lookOn, const void* data,
                           std::uint16_t size) = 0;
  // True for a constructed, not yet destroyed dialog.
  virtual bool IsValid() const;

  // Sends one record to the server. False when there is no transport, `data` is null with a
  // non-zero size, or the transport refuses.
  bool SendData(std::uint16_t subCmd, const void* data, std::uint16_t size,
                std::uint16_t mainCmd);
  // Whether requests reach the server now: a transport that is online.
  bool IsConnected() const;
  // The local player's record, or null while the frame has none (before login).
  const tagUserData* GetMeUserData() const;
  // The widget view the frame shows as the game area, feeds with input and draws.
  void SetOrvGameView(COrvGameFrameView* view);
  COrvGameFrameView* GetOrvGameView() const { return m_pOrvView; }
  CGameFrameView* GetGameView() const { return m_pGameView; }
  bool UsesWidgetView() const { return m_cbWidgetView != 0; }

  // Frame side: wiring done by the frame loop (and by tests that run a dialog without it).
  void SetTransport(plat::ITransport* transport) { m_pTransport = transport; }
  void SetMeUserData(const tagUserData* user);

 protected:
  // Set to 1 by games whose game area is the widget view; with 0 the frame shows no game area.
  std::uint8_t m_cbWidgetView = 0;

 private:
  plat::LiveMark<CGameFrameDlg> m_live{this};
  CGameFrameView* m_pGameView;
  COrvGameFrameView* m_pOrvView = nullptr;
  plat::ITransport* m_pTransport = nullptr;
  std::optional<tagUserData> m_meUser;
};
