#pragma once
// The frame loop. It starts the game (application -> dialog -> views) and then runs one frame
// step at a time on the single UI thread, always in this order:
//   1. input      (SDL events when windowed, and injected input) through guichan
//   2. server     messages from the queue, oldest first, to the dialog's hooks
//   3. timers     the frame runtime's timers at plat::GetClock() time
//   4. posted     window messages waiting in the main window's queue
//   5. draw       classic view, widget tree (game view first), ex layers, frame overlays
//   6. present    the render device's frame
// Headless and windowed runs use the same step; only input pumping, pacing and presenting
// differ.
// The frame owns a plat::Runtime for its life (current from the frame's construction on), so
// each frame starts with no timers, no queued clicks and no cached images, and its widgets die
// before that state does.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <guichan/keylistener.hpp>

#include "platform/frame/frameconfig.h"
#include "platform/frame/framebuttonsink.h"
#include "platform/frame/inputscript.h"
#include "platform/frame/servermessagequeue.h"
#include "platform/frame/statusline.h"
#include "platform/frame/userdata.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/runtime.h"

class CChatWiew;
class CGameFrameDlg;
class OrvHgeButton;
class OrvHgeFont;
struct SDL_Cursor;

namespace plat {

class ITransport;
class RenderDevice;

struct GameFrameOptions {
  std::optional<tagUserData> localUser;  // handed to the dialog at start-up (else: none yet)
  std::uint16_t chairId = 0;
  bool lookOn = false;
  bool logRejected = true;  // one line on stderr for every message a hook rejects
};

struct FrameStats {
  std::uint64_t steps = 0;
  std::uint64_t gameMessages = 0;
  std::uint64_t rejectedGameMessages = 0;
  std::uint16_t lastRejectedSubCmd = 0;
  std::uint64_t scenes = 0;
  std::uint64_t rejectedScenes = 0;
  std::uint64_t skippedLookOnScenes = 0;
  std::uint64_t frameMessages = 0;
  std::uint64_t rejectedFrameMessages = 0;
  std::uint64_t timersFired = 0;
  std::uint64_t postedHandled = 0;
};

class GameFrame {
 public:
  static constexpr int kRuleButtonId = 1;
  static constexpr int kRuleButtonX = 1208;
  static constexpr int kRuleButtonY = 8;

  // `device` may be null (nothing is drawn); `transport` may be null (SendData answers false).
  // Neither is owned; both must outlive the frame.
  GameFrame(RenderDevice* device, ITransport* transport, GameFrameOptions options = {});
  ~GameFrame();
  GameFrame(const GameFrame&) = delete;
  GameFrame& operator=(const GameFrame&) = delete;

  // False (reason in LastError) without a current application, without a dialog, or when
  // already started.
  bool Start();
  // One frame step; does nothing unless started and running.
  void Step();
  // Steps until closed or `maxFrames` steps ran (0: until closed). Windowed runs are paced to
  // the configured frame rate. Returns the number of steps.
  int Run(int maxFrames);
  // The player closes the window: asks the dialog, and (if the game keeps the leave
  // confirmation on) wants a second request within the status time-out.
  void RequestClose();
  // Tells the dialog, tears down the views and destroys the dialog. Idempotent.
  void Shutdown();

  bool IsRunning() const { return m_running; }
  const std::string& LastError() const { return m_error; }

  ServerMessageQueue& Messages() { return m_messages; }
  SdlGuiInput& Input() { return m_runner.Input(); }
  CGameFrameDlg* Dialog() const { return m_dialog.get(); }
  CChatWiew* ChatView() const { return m_chat.get(); }
  OrvHgeButton* RuleButton() const { return m_ruleButton.get(); }
  const FrameConfig& Config() const { return m_config; }
  const FrameStats& Stats() const { return m_stats; }
  const StatusLine& Status() const { return m_status; }
  Runtime& RuntimeState() { return m_runtime; }

  // Input for scripted and headless runs; handled in the next step's input phase.
  void InjectMouseMove(int x, int y) { Input().InjectMouseMove(x, y); }
  void InjectClick(int x, int y) { Input().InjectClick(x, y); }
  void InjectKey(int gcnKey) { Input().InjectKey(gcnKey); }

  // Scripted input: each step hands the script's events of its frame (steps counted from 1)
  // to the input queue, windowed or headless alike.
  void SetInputScript(InputScript script) { m_script = std::move(script); }
  const std::optional<InputScript>& Script() const { return m_script; }

  // The status line (GBK). A transient text goes after the configured time-out. Every new
  // text is also added to the chat panel.
  void ShowStatus(const std::string& textGbk, bool persistent);
  void ClearStatus() { m_status.Clear(); }

  // Replaces the local user record (null: none) and tells the dialog and the chat bar.
  void SetLocalUser(const tagUserData* user, std::uint16_t chairId, bool lookOn);

 private:
  class KeyHook : public gcn::KeyListener {
   public:
    explicit KeyHook(GameFrame& frame) : m_frame(frame) {}
    void keyPressed(gcn::KeyEvent& e) override;

   private:
    GameFrame& m_frame;
  };

  bool Fail(const std::string& why);
  void PumpSdlEvents();
  void DeliverServerMessages();
  void Deliver(const ServerMessage& msg);
  void Draw(std::uint64_t nowMs);
  void ApplyCursor();
  void OnFrameCommand(int id);
  void OnRule();
  bool OnKey(int key);
  // Escape: the bank window when it is open (it lies over the game), else the game's
  // topmost window.
  bool CloseTopWindow();
  bool DialogAlive() const;
  void LogRejected(const char* what, unsigned code, std::size_t size) const;

  Runtime m_runtime;  // first: everything below may use it while it is made and destroyed
  RenderDevice* m_device;
  ITransport* m_transport;
  GameFrameOptions m_options;
  GuiRunner m_runner;
  KeyHook m_keyHook{*this};
  ServerMessageQueue m_messages;
  FrameConfig m_config;
  FrameStats m_stats;
  StatusLine m_status;
  std::unique_ptr<OrvHgeFont> m_statusFont;
  FrameButtonSink m_ruleSink;
  std::unique_ptr<CGameFrameDlg> m_dialog;
  std::unique_ptr<CChatWiew> m_chat;
  std::unique_ptr<OrvHgeButton> m_ruleButton;
  std::optional<InputScript> m_script;
  std::string m_error;
  std::uint64_t m_lastStepMs = 0;
  std::uint64_t m_leaveArmedUntilMs = 0;
  int m_cursorShape = -1;
  SDL_Cursor* m_cursor = nullptr;
  bool m_started = false;
  bool m_running = false;
  bool m_closingSent = false;
};

}  // namespace plat
