#pragma once
// One run of the game: the embedded server (unless connecting elsewhere), the render device,
// the host frame with the game's dialog, and the network transport between them. The program
// and the end-to-end tests drive the same object.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/velmora/appoptions.h"
#include "platform/frame/frametopwindow.h"
#include "platform/transport/tcptransport.h"
#include "server/serveroptions.h"

namespace plat {
class GameFrame;
class RenderDevice;
}  // namespace plat
namespace velsrv {
class Server;
}

namespace velapp {

class GameSession {
 public:
  static constexpr int kScreenWidth = plat::kGameAreaWidth;
  static constexpr int kScreenHeight = plat::kGameAreaHeight;

  explicit GameSession(AppOptions options);
  ~GameSession();
  GameSession(const GameSession&) = delete;
  GameSession& operator=(const GameSession&) = delete;

  // Adjustable before Start (tests: short lots, a manual clock, quick reconnects).
  plat::TcpTransportOptions& TransportOptions() { return m_transportOptions; }

  // False with a reason the player can act on.
  bool Start(std::string* error);
  // One frame step, then the shots asked for at this frame.
  void Step();
  // Paced steps until the frame or time limit, the window closes or *stop turns true.
  // Returns the number of frames run.
  int Run(const std::atomic<bool>* stop);
  bool SaveScreenshot(const std::string& path, std::string* error) const;
  // Stops the transport first (nothing arrives for a dying dialog), then the frame, the
  // device and the server. Idempotent.
  void Shutdown();

  int FramesRun() const { return m_frames; }
  // Shots that could not be written, one line each.
  const std::vector<std::string>& ShotFailures() const { return m_shotFailures; }
  plat::GameFrame* Frame() const { return m_frame.get(); }
  plat::TcpTransport& Transport() { return m_transport; }
  plat::RenderDevice* Device() const { return m_device.get(); }

 private:
  bool StartServer(std::string* error);
  std::string DataFolder() const;
  bool CreateDevice(std::string* error);

  AppOptions m_options;
  velsrv::ServerOptions m_serverOptions;
  plat::TcpTransportOptions m_transportOptions;
  std::string m_nicknameGbk;
  std::unique_ptr<velsrv::Server> m_server;
  std::unique_ptr<plat::RenderDevice> m_device;
  plat::TcpTransport m_transport;  // outlives the frame, which keeps a pointer to it
  std::unique_ptr<plat::GameFrame> m_frame;
  int m_frames = 0;
  bool m_checkFrames = false;  // VELMORA_CHECK_FRAMES: every frame compared with a full redraw
  std::vector<std::string> m_shotFailures;
};

}  // namespace velapp
