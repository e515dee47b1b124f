#include "platform/frame/gameframe.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include <SDL.h>
#include <guichan/key.hpp>
#include <guichan/keyevent.hpp>

#include "platform/frame/bankview.h"
#include "platform/frame/chatwiew.h"
#include "platform/frame/frametopwindow.h"
#include "platform/frame/gameframeapp.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/frame/globalunits.h"
#include "platform/frame/mainwindow.h"
#include "platform/frame/orvgameframeview.h"
#include "platform/frame/quickchatwiew.h"
#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"
#include "platform/time/clock.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"

namespace plat {

namespace {

const std::string kRuleCaption = Utf8ToGbk("规则");
const std::string kLeaveRefused = Utf8ToGbk("游戏正在进行，现在不能离开");
const std::string kLeaveConfirm = Utf8ToGbk("再次关闭窗口即可离开游戏");
const std::string kStatusFontFace = Utf8ToGbk("宋");
constexpr int kStatusFontSize = 14;
const gcn::Color kStatusTextColor(255, 240, 200, 255);

// The top window, the bank and the dialog pointer are process-wide: a second frame started
// beside this one would put its widgets in the same window and leave them there dangling.
const GameFrame* g_startedFrame = nullptr;

}  // namespace

GameFrame::GameFrame(RenderDevice* device, ITransport* transport, GameFrameOptions options)
    : m_device(device),
      m_transport(transport),
      m_options(std::move(options)),
      m_runner(device),
      m_ruleSink(kRuleCaption) {
  m_runner.Gui().addGlobalKeyListener(&m_keyHook);
}

GameFrame::~GameFrame() {
  Shutdown();
  m_runner.Gui().removeGlobalKeyListener(&m_keyHook);
  if (m_cursor != nullptr) SDL_FreeCursor(m_cursor);
}

bool GameFrame::Fail(const std::string& why) {
  m_error = why;
  std::fprintf(stderr, "[frame] start-up failed: %s\n", why.c_str());
  return false;
}

bool GameFrame::Start() {
  if (m_started) return Fail("already started");
  if (g_startedFrame != nullptr) return Fail("another frame is running in this process");
  CGameFrameApp* app = CGameFrameApp::GetCurrent();
  if (app == nullptr) return Fail("no application object");
  m_config = app->LoadFrameConfig();
  m_dialog.reset(app->CreateGameFrameDlg());
  if (!m_dialog) return Fail("the application made no dialog");

  CGlobalUnits::s_pGameFrameDlg = m_dialog.get();
  m_dialog->SetTransport(m_transport);
  MainWindow::Instance().ClearPosted();  // nothing posted before belongs to this dialog

  FrameTopWindow& top = FrameTopWindow::Instance();
  top.SetCommandHandler([this](int id) { OnFrameCommand(id); });
  m_runner.SetTop(&top);

  if (CGameFrameView* classic = m_dialog->GetGameView())
    classic->RectifyGameView(kGameAreaWidth, kGameAreaHeight);

  COrvGameFrameView* view = m_dialog->GetOrvGameView();
  if (m_dialog->UsesWidgetView() && view != nullptr && view->IsValid()) {
    view->SetFacesEnabled(m_config.Has(kFrameFlagUserFaces));
    top.add(view, 0, 0);
    view->InitResource();
  } else {
    std::fprintf(stderr, "[frame] the dialog has no widget game view; none is shown\n");
  }

  if (m_config.Has(kFrameFlagChatView)) {
    m_chat.reset(m_dialog->CreateChatView());
    if (m_chat) {
      top.add(m_chat.get());
      m_chat->InitResource();
      if (CQuickChatWiew* quick = m_chat->QuickChat()) quick->EnableSend(false);
    }
  }
  if (m_config.Has(kFrameFlagBankWindow)) {
    CBankView* bank = CBankView::GetInstance();
    bank->setVisible(false);
    top.add(bank);
  }
  if (m_config.Has(kFrameFlagRuleButton)) {
    m_ruleButton =
        FrameButtonSink::MakeButton(&top, kRuleButtonId, kRuleButtonX, kRuleButtonY, &m_ruleSink);
  }

  if (m_options.localUser)
    SetLocalUser(&*m_options.localUser, m_options.chairId, m_options.lookOn);

  if (m_device != nullptr && !m_device->IsHeadless()) {
    if (auto* window = static_cast<SDL_Window*>(m_device->System_GetWindowHandle()))
      SDL_SetWindowResizable(window, m_dialog->OnQueryCanResize() ? SDL_TRUE : SDL_FALSE);
  }

  m_lastStepMs = GetClock().NowMs();
  m_started = true;
  g_startedFrame = this;
  m_running = true;
  m_dialog->OnEventFrameReady();
  return true;
}

bool GameFrame::DialogAlive() const { return m_dialog && m_dialog->IsValid(); }

void GameFrame::Step() {
  if (!m_started || !m_running || !DialogAlive()) return;
  ++m_stats.steps;

  // 1. input
  const bool windowed = m_device != nullptr && !m_device->IsHeadless();
  if (windowed) PumpSdlEvents();
  if (m_script) m_script->InjectFrame(m_stats.steps, Input());
  m_runner.Logic();
  // 2. server messages
  DeliverServerMessages();
  // 3. timers
  const std::uint64_t now = GetClock().NowMs();
  m_stats.timersFired += m_runtime.Timers().Dispatch(now);
  // 4. posted window messages
  m_stats.postedHandled += MainWindow::Instance().DispatchPosted();
  // 5. draw and 6. present; a minimised window shows nothing, so nothing is drawn
  if (windowed && m_device->IsMinimized())
    m_status.Update(now);
  else
    Draw(now);
  m_lastStepMs = now;
}

int GameFrame::Run(int maxFrames) {
  int frames = 0;
  // A real window is paced on real time, whatever clock the timers read.
  const bool paced = m_device != nullptr && !m_device->IsHeadless();
  const auto period = std::chrono::microseconds(1000000 / m_config.frameRate);
  auto next = std::chrono::steady_clock::now();
  while (m_started && m_running && (maxFrames <= 0 || frames < maxFrames)) {
    Step();
    ++frames;
    if (paced) {
      next += period;
      const auto now = std::chrono::steady_clock::now();
      if (next > now)
        std::this_thread::sleep_for(next - now);
      else
        next = now;  // fell behind: do not try to catch up with a burst of frames
    }
  }
  return frames;
}

void GameFrame::PumpSdlEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    // The pointer is in window coordinates; the game wants its own pixels, through the same
    // transform that scales the picture into the window.
    switch (event.type) {
      case SDL_QUIT:
        RequestClose();
        continue;
      case SDL_MOUSEMOTION:
        m_device->WindowToGame(event.motion.x, event.motion.y, &event.motion.x, &event.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        m_device->WindowToGame(event.button.x, event.button.y, &event.button.x, &event.button.y);
        break;
      default:
        break;
    }
    m_runner.Input().PushEvent(event);
  }
}

void GameFrame::DeliverServerMessages() {
  const std::uint32_t limit = m_config.messagesPerStep != 0 ? m_config.messagesPerStep : kDefaultMessagesPerStep;
  for (const ServerMessage& msg : m_messages.Take(limit)) {
    if (!DialogAlive()) return;
    Deliver(msg);
  }
}

void GameFrame::LogRejected(const char* what, unsigned code, std::size_t size) const {
  if (m_options.logRejected)
    std::fprintf(stderr, "[frame] %s %u (%zu bytes) rejected by the game\n", what, code, size);
}

void GameFrame::Deliver(const ServerMessage& msg) {
  const auto size = static_cast<std::uint16_t>(msg.bytes.size());  // the queue caps it
  const void* data = msg.bytes.empty() ? nullptr : msg.bytes.data();
  switch (msg.kind) {
    case ServerMessage::Kind::Game:
      ++m_stats.gameMessages;
      if (!m_dialog->OnGameMessage(msg.subCmd, data, size)) {
        ++m_stats.rejectedGameMessages;
        m_stats.lastRejectedSubCmd = msg.subCmd;
        LogRejected("game message", msg.subCmd, msg.bytes.size());
      }
      break;
    case ServerMessage::Kind::Scene:
      if (msg.lookOn && !m_config.Has(kFrameFlagLookOn)) {
        ++m_stats.skippedLookOnScenes;
        break;
      }
      ++m_stats.scenes;
      if (CGameFrameView* classic = m_dialog->GetGameView(); classic && classic->ResetsOnScene())
        classic->ResetGameView();
      if (m_chat && m_chat->QuickChat()) m_chat->QuickChat()->ResetPhrases();
      if (!m_dialog->OnGameScene(msg.status, msg.lookOn, data, size)) {
        ++m_stats.rejectedScenes;
        LogRejected("scene with status", msg.status, msg.bytes.size());
      }
      break;
    case ServerMessage::Kind::Frame:
      ++m_stats.frameMessages;
      if (!m_dialog->OnFrameMessage(msg.subCmd, data, size)) {
        ++m_stats.rejectedFrameMessages;
        LogRejected("frame message", msg.subCmd, msg.bytes.size());
      }
      break;
    case ServerMessage::Kind::UserData:
      SetLocalUser(msg.hasUser ? &msg.user : nullptr, msg.chairId, msg.lookOn);
      break;
    case ServerMessage::Kind::Status:
      ShowStatus(msg.text, msg.persistent);
      break;
    case ServerMessage::Kind::ClearStatus:
      ClearStatus();
      break;
  }
}

void GameFrame::Draw(std::uint64_t nowMs) {
  m_status.Update(nowMs);
  if (m_device == nullptr) return;
  const float delta = static_cast<float>(nowMs - m_lastStepMs) / 1000.0f;
  m_device->BeginFrame(delta);
  OrvHgeGraphics& g = m_runner.Graphics();
  if (CGameFrameView* classic = m_dialog->GetGameView()) {
    g._beginDraw();
    classic->DrawGameView(&g, kGameAreaWidth, kGameAreaHeight);
    g._endDraw();
  }
  m_runner.Draw();  // the widget tree, then the ex layers of its windows
  if (m_config.Has(kFrameFlagStatusLine) && m_status.IsShown()) {
    if (!m_statusFont)
      m_statusFont =
          std::make_unique<OrvHgeFont>(kStatusFontFace.c_str(), kStatusFontSize, 0, 0, 1);
    m_statusFont->SetColor(kStatusTextColor);
    g._beginDraw();
    m_status.Draw(&g, m_statusFont.get(), kGameAreaWidth);
    g._endDraw();
  }
  ApplyCursor();
  m_device->EndFrame();
}

void GameFrame::ApplyCursor() {
  COrvGameFrameView* view = m_dialog->GetOrvGameView();
  if (m_device->IsHeadless() || view == nullptr || !view->IsValid()) return;
  const int shape = view->GetCursorShape();
  if (shape == m_cursorShape) return;
  m_cursorShape = shape;
  if (m_cursor != nullptr) SDL_FreeCursor(m_cursor);
  m_cursor = SDL_CreateSystemCursor(shape == COrvGameFrameView::kCursorHand
                                        ? SDL_SYSTEM_CURSOR_HAND
                                        : SDL_SYSTEM_CURSOR_ARROW);
  if (m_cursor != nullptr) SDL_SetCursor(m_cursor);
}

void GameFrame::RequestClose() {
  if (!m_started || !m_running) return;
  const std::uint64_t now = GetClock().NowMs();
  if (DialogAlive() && !m_dialog->OnQueryCanLeave()) {
    ShowStatus(kLeaveRefused, false);
    return;
  }
  COrvGameFrameView* view = m_dialog ? m_dialog->GetOrvGameView() : nullptr;
  const bool confirm = view != nullptr && view->IsValid() &&
                       view->IsCyrmEnabled(COrvGameFrameView::kCyrmLeave);
  if (confirm && now >= m_leaveArmedUntilMs) {
    m_leaveArmedUntilMs = now + m_config.statusTimeoutMs;
    ShowStatus(kLeaveConfirm, false);
    return;
  }
  m_running = false;
}

void GameFrame::Shutdown() {
  if (!m_dialog) return;
  if (m_started && !m_closingSent && DialogAlive()) {
    m_closingSent = true;
    m_dialog->OnEventFrameClosing();
  }
  m_running = false;
  MainWindow::Instance().ClearPosted();
  FrameTopWindow& top = FrameTopWindow::Instance();
  top.SetCommandHandler(nullptr);
  m_ruleButton.reset();  // every widget leaves the top window as it dies
  m_chat.reset();
  if (m_config.Has(kFrameFlagBankWindow)) {
    CBankView* bank = CBankView::GetInstance();
    if (bank->getParent() == &top) top.remove(bank);
  }
  if (CGlobalUnits::s_pGameFrameDlg == m_dialog.get()) CGlobalUnits::s_pGameFrameDlg = nullptr;
  m_dialog.reset();
  m_runner.SetTop(nullptr);
  m_started = false;
  if (g_startedFrame == this) g_startedFrame = nullptr;
}

void GameFrame::ShowStatus(const std::string& textGbk, bool persistent) {
  if (textGbk.empty()) {
    m_status.Clear();
    return;
  }
  const bool changed = !m_status.IsShown() || m_status.Text() != textGbk;
  m_status.Show(textGbk, persistent, GetClock().NowMs(), m_config.statusTimeoutMs);
  if (changed && m_chat) m_chat->AddChatLine(textGbk);
}

void GameFrame::SetLocalUser(const tagUserData* user, std::uint16_t chairId, bool lookOn) {
  if (!DialogAlive()) return;
  const CGameFrameView* classic = m_dialog->GetGameView();
  if (classic != nullptr && chairId >= classic->GetChairCount())
    chairId = CGameFrameDlg::kInvalidChair;
  m_dialog->SetMeUserData(user);
  m_dialog->OnEventUserEnter(m_dialog->GetMeUserData(), chairId, lookOn);
  if (m_chat && m_chat->QuickChat()) m_chat->QuickChat()->EnableSend(user != nullptr);
}

void GameFrame::OnFrameCommand(int id) {
  if (id == kRuleButtonId) OnRule();
}

void GameFrame::OnRule() {
  if (DialogAlive() && m_config.Has(kFrameFlagRuleButton)) m_dialog->OnGameRule();
}

bool GameFrame::OnKey(int key) {
  if (key == gcn::Key::F1 && m_config.Has(kFrameFlagRuleButton)) {
    OnRule();
    return true;
  }
  if (key == gcn::Key::F2 && m_config.Has(kFrameFlagBankWindow)) {
    CBankView::GetInstance()->Toggle();
    return true;
  }
  if (key == gcn::Key::F11 && m_device != nullptr && !m_device->IsHeadless()) {
    m_device->ToggleFullscreen();
    return true;
  }
  if (key == gcn::Key::ESCAPE) return CloseTopWindow();
  return false;
}

bool GameFrame::CloseTopWindow() {
  CBankView* bank = CBankView::GetInstance();
  if (m_config.Has(kFrameFlagBankWindow) && bank->isVisible()) {
    bank->setVisible(false);
    return true;
  }
  return DialogAlive() && m_dialog->OnEscapeKey();
}

void GameFrame::KeyHook::keyPressed(gcn::KeyEvent& e) {
  if (m_frame.OnKey(e.getKey().getValue())) e.consume();
}

}  // namespace plat
