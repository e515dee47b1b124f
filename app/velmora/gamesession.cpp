#include "app/velmora/gamesession.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

#include "app/velmora/appenvironment.h"
#include "app/velmora/password.h"
#include "client/core/gameclientapp.h"
#include "client/views/systemnotice.h"
#include "platform/frame/gameframe.h"
#include "platform/net/framemessages.h"
#include "platform/render/renderdevice.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"
#include "server/server.h"

namespace velapp {

namespace {

const char* const kWindowTitle = "Velmora";
const char* const kLoopback = "127.0.0.1";
const char* const kNoDisplay =
    "no display to show the window on (is DISPLAY set?); use --headless to run without one";
const char* const kServerGoodsFile = "server/goods.xml";
const char* const kLocalPasswordFile = "local-password";
const char* const kKnownServersFile = "known_servers";
// More simulated players than the server's own default: the hall feels busy, while the
// players' own pacing leaves every lot on sale long enough, and shares enough, for people.
constexpr int kEmbeddedBots = 8;

// The nickname as the server will see it, or empty when GBK cannot carry it.
std::string NicknameToGbk(const std::string& utf8) {
  const std::string gbk = plat::Utf8ToGbk(utf8);
  if (gbk.empty() || gbk.size() >= plat::net::kNetNicknameLen || plat::GbkToUtf8(gbk) != utf8)
    return std::string();
  return gbk;
}

// SDL falls back to drivers that show nothing when there is no display.
bool IsInvisibleVideoDriver() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return true;
  const std::string d = driver;
  return d == "offscreen" || d == "dummy";
}

}  // namespace

GameSession::GameSession(AppOptions options) : m_options(std::move(options)) {
  m_serverOptions.bindAddress = kLoopback;
  m_serverOptions.plain = true;  // it never leaves the machine
  m_serverOptions.dbPath = m_options.dbPath;  // empty: the player's data folder, at start
  if (m_options.lotSeconds != 0) m_serverOptions.lotSeconds = m_options.lotSeconds;
  m_serverOptions.bots = m_options.bots >= 0 ? m_options.bots : kEmbeddedBots;
  if (m_options.verbose)
    m_serverOptions.log = [](const std::string& line) { std::cerr << "[server] " << line << std::endl; };
  if (!m_options.embeddedServer) {
    m_transportOptions.host = m_options.host;
    m_transportOptions.port = m_options.port;
    m_transportOptions.password = m_options.password;
    m_transportOptions.tls = !m_options.plain;
    const std::string dir = DataFolder();
    m_transportOptions.knownServersPath = dir.empty() ? std::string() : dir + "/" + kKnownServersFile;
  }
}

GameSession::~GameSession() { Shutdown(); }

bool GameSession::StartServer(std::string* error) {
  if (m_serverOptions.dbPath.empty()) m_serverOptions.dbPath = DefaultDatabasePath();
  if (m_serverOptions.goodsFile.empty())
    m_serverOptions.goodsFile = plat::AssetPath(kServerGoodsFile);
  m_server = std::make_unique<velsrv::Server>();
  std::string why;
  if (!m_server->Start(0, m_serverOptions, &why)) {
    *error = "the built-in server did not start: " + why;
    m_server.reset();
    return false;
  }
  // The player's own account on the built-in server: a random password kept in the data
  // folder, made the account's password also when the file was lost or the database copied.
  // A database kept nowhere needs no password kept either.
  const std::string dir = m_serverOptions.dbPath == ":memory:" ? std::string() : DataFolder();
  const std::string file = dir.empty() ? std::string() : dir + "/" + kLocalPasswordFile;
  if (!LocalPassword(file, &m_transportOptions.password, &why)) {
    *error = "no local password: " + why;
    return false;
  }
  if (!m_server->SetLocalPassword(m_nicknameGbk, m_transportOptions.password)) {
    *error = "the built-in server could not set up the account of " + plat::GbkToUtf8(m_nicknameGbk) +
             " (the name belongs to a simulated player; choose another with --name)";
    return false;
  }
  m_transportOptions.host = kLoopback;
  m_transportOptions.port = m_server->Port();
  m_transportOptions.tls = false;  // the built-in server listens in clear on loopback only
  return true;
}

std::string GameSession::DataFolder() const {
  return m_options.dataDir.empty() ? DataDir() : m_options.dataDir;
}

bool GameSession::CreateDevice(std::string* error) {
  if (m_options.headless) {
    m_device = plat::RenderDevice::CreateHeadless(kScreenWidth, kScreenHeight);
    if (!m_device) {
      *error = "cannot create the off-screen renderer";
      return false;
    }
    // Each frame drawn again in full and compared with what the partial redraw gave.
    const char* check = std::getenv("VELMORA_CHECK_FRAMES");
    m_checkFrames = check && *check && std::strcmp(check, "0") != 0;
    m_device->SetVerifyFrames(m_checkFrames);
    return true;
  }
  switch (CheckDisplayAccess()) {
    case DisplayAccess::None:
      *error = kNoDisplay;
      return false;
    case DisplayAccess::X11Only:
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
      break;
    case DisplayAccess::Any:
      break;
  }
  std::string why;
  m_device = plat::RenderDevice::CreateWindowed(kWindowTitle, kScreenWidth, kScreenHeight, &why);
  if (!m_device) {
    *error = "cannot open the game window (" + why + "); without a display use --headless";
    return false;
  }
  if (IsInvisibleVideoDriver()) {
    m_device.reset();
    *error = kNoDisplay;
    return false;
  }
  return true;
}

bool GameSession::Start(std::string* error) {
  // A bad script stops the start before anything runs.
  plat::InputScript script;
  if (!m_options.inputScript.empty() && !script.LoadFile(m_options.inputScript, error)) return false;

  const std::string assets = m_options.assetsDir.empty() ? FindAssetsDir() : m_options.assetsDir;
  if (!LooksLikeAssetsDir(assets)) {
    *error = "no game images under " + assets + " (point --assets at the assets folder)";
    return false;
  }
  plat::SetAssetRoot(assets);

  const std::string nickname = m_options.nicknameUtf8.empty() ? DefaultNickname() : m_options.nicknameUtf8;
  m_nicknameGbk = NicknameToGbk(nickname);
  if (m_nicknameGbk.empty()) {
    *error = "the nickname \"" + nickname + "\" does not fit (1 to 31 bytes of GBK text)";
    return false;
  }
  m_transportOptions.nicknameGbk = m_nicknameGbk;

  if (m_options.embeddedServer && !StartServer(error)) return false;
  if (!CreateDevice(error)) return false;

  GetGameClientApp();  // the frame finds the game through its application object
  m_frame = std::make_unique<plat::GameFrame>(m_device.get(), &m_transport);
  if (!m_frame->Start()) {
    *error = "the game did not start: " + m_frame->LastError();
    return false;
  }
  if (!m_options.inputScript.empty()) m_frame->SetInputScript(std::move(script));
  std::string why;
  if (!m_transport.Start(m_frame->Messages(), m_transportOptions, &why)) {
    *error = "cannot start the connection: " + why;
    return false;
  }
  return true;
}

void GameSession::Step() {
  if (!m_frame) return;
  m_frame->Step();
  ++m_frames;
  for (const ShotRequest& shot : m_options.shots) {
    if (shot.frame != m_frames) continue;
    std::string why;
    if (!SaveScreenshot(shot.path, &why)) m_shotFailures.push_back(why);
  }
}

int GameSession::Run(const std::atomic<bool>* stop) {
  if (!m_frame) return 0;
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::microseconds(1000000 / std::max<std::uint32_t>(m_frame->Config().frameRate, 1));
  const auto start = Clock::now();
  const auto limit = std::chrono::duration<double>(m_options.seconds);
  auto next = start;
  const int first = m_frames;
  bool refusedStepDone = false;
  while (m_frame->IsRunning()) {
    if (stop != nullptr && stop->load()) break;
    if (m_options.frames > 0 && m_frames - first >= m_options.frames) break;
    if (m_options.seconds > 0 && Clock::now() - start >= limit) break;
    // Nothing more will come: a headless run has no one to read the status line. One more
    // step first, so that the last frame (a screenshot) shows why.
    if (m_options.headless && m_transport.GetState() == plat::TcpTransport::State::Refused) {
      if (refusedStepDone) break;
      refusedStepDone = true;
    }
    Step();
    // Headless runs are paced too: the server plays in real time, so --frames means time.
    next += period;
    const auto now = Clock::now();
    if (next > now)
      std::this_thread::sleep_for(next - now);
    else
      next = now;
  }
  return m_frames - first;
}

bool GameSession::SaveScreenshot(const std::string& path, std::string* error) const {
  if (!m_device || m_frames == 0) {
    *error = path + ": nothing drawn yet";
    return false;
  }
  if (!m_device->SavePng(path)) {
    *error = path + ": cannot write the screenshot";
    return false;
  }
  return true;
}

void GameSession::Shutdown() {
  if (m_device && m_checkFrames) {
    const auto& s = m_device->Stats();
    std::fprintf(stderr,
                 "frame check: %llu frames, %llu differ from a full redraw (%llu pixels); "
                 "%llu redrawn in full, %llu unchanged, %.0f pixels redrawn a frame, "
                 "%.0f calls a frame taken over as repeated texts (%.0f of them moved)\n",
                 static_cast<unsigned long long>(s.frames),
                 static_cast<unsigned long long>(s.mismatchedFrames),
                 static_cast<unsigned long long>(s.mismatchedPixels),
                 static_cast<unsigned long long>(s.fullFrames),
                 static_cast<unsigned long long>(s.unchangedFrames),
                 s.frames ? double(s.redrawnPixels) / double(s.frames) : 0.0,
                 s.frames ? double(m_device->RepeatedRunCalls()) / double(s.frames) : 0.0,
                 s.frames ? double(m_device->MovedRunCalls()) / double(s.frames) : 0.0);
  }
  m_transport.Stop();
  if (m_frame) m_frame->Shutdown();
  m_frame.reset();
  CSystemNotice::ClearAll();  // the notices' fonts hold textures of the device
  m_device.reset();
  if (m_server) m_server->Stop();
  m_server.reset();
}

}  // namespace velapp
