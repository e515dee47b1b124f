#pragma once
// The frame's connection to the game server over TCP. A thread of its own connects, logs in,
// reads and writes without blocking the UI thread; every complete message goes into the
// frame's server-message queue in arrival order, so the frame loop hands it to the dialog
// between frames. A lost connection is shown on the status line and the console and retried
// with growing delays; each new connection logs in again and brings a fresh scene. While not
// logged in, Send refuses and says so on the status line: nothing is queued for later.
#include <atomic>
#include <memory>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/frame/servermessagequeue.h"
#include "platform/frame/transport.h"
#include "platform/net/framedecoder.h"
#include "platform/time/clock.h"
#include "platform/transport/inboundgate.h"
#include "platform/transport/outboundqueue.h"
#include "platform/transport/reconnectbackoff.h"
#include "platform/transport/knownservers.h"
#include "platform/transport/tcpsocket.h"
#include "platform/transport/tlschannel.h"
#include "platform/transport/tcptransportoptions.h"
#include "platform/transport/wakeevent.h"

namespace plat {

class TcpTransport final : public ITransport, private ClockWatcher {
 public:
  enum class State {
    Stopped,
    Connecting,  // TCP connect in progress
    LoggingIn,   // connected, waiting for the user record
    Online,      // logged in: Send works
    Waiting,     // lost or failed; the next attempt comes after a delay
    Refused,     // the server refused the login; no more attempts
  };

  struct Stats {
    std::uint64_t connectAttempts = 0;
    std::uint64_t connections = 0;  // TCP connections made
    std::uint64_t logins = 0;       // connections that reached Online
    std::uint64_t losses = 0;       // connections that ended other than by Stop
    std::uint64_t malformed = 0;    // closed for broken framing
    std::uint64_t timeouts = 0;     // closed for silence or a login that never came
    std::uint64_t floods = 0;       // closed for keeping the inbound queue full
    std::uint64_t framesIn = 0;
    std::uint64_t framesIgnored = 0;
    std::uint64_t requestsSent = 0;     // accepted by Send
    std::uint64_t requestsRefused = 0;  // refused by Send
    std::uint64_t requestsLost = 0;     // accepted, but not fully written when the line went
  };

  TcpTransport() = default;
  ~TcpTransport() override;
  TcpTransport(const TcpTransport&) = delete;
  TcpTransport& operator=(const TcpTransport&) = delete;

  // Starts the connection thread. False (reason in *error) when already running, when the
  // options cannot work (no host, port 0, nickname empty or longer than 31 bytes) or the
  // thread's wake-up event cannot be made. `queue` must outlive the transport's run.
  bool Start(ServerMessageQueue& queue, const TcpTransportOptions& options, std::string* error);
  // Closes the connection and joins the thread. Idempotent.
  void Stop();

  // UI thread. False while not logged in (and the status line says the request was not sent),
  // and when the output queue is full.
  bool Send(std::uint16_t mainCmd, std::uint16_t subCmd, const std::uint8_t* data,
            std::size_t size) override;

  State GetState() const;
  bool IsConnected() const override { return GetState() == State::Online; }
  Stats GetStats() const;
  std::string Endpoint() const;  // "host:port"
  // Why the login was refused (UTF-8), once the state is Refused: the server's reason, or a
  // server certificate that differs from the pinned one.
  std::string RefusalText() const;

 private:
  enum class Outcome { Stopped, Lost, Refused, Flood };

  // The connection as the loop sees it: the socket, with TLS over it or not.
  struct Link {
    TcpSocket& socket;
    TlsChannel* tls;
    TcpSocket::IoResult Read(void* buffer, std::size_t size, std::size_t* done, std::string* error);
    TcpSocket::IoResult Write(const void* data, std::size_t size, std::size_t* done, std::string* error);
  };

  // A clock moved by hand wakes the thread to look at its deadlines again.
  void ClockMoved() override { m_wake.Signal(); }
  void Run();
  // Handshakes and checks the pinned fingerprint. Lost (retry) or Refused (a changed
  // certificate) on failure, with the reason.
  bool Secure(TcpSocket& socket, std::unique_ptr<TlsChannel>* tls, Outcome* outcome, std::string* reason);
  Outcome RunConnection(Link link, std::string* reason);
  // Reads what is there; false when the connection is over (outcome and reason set).
  bool ReadAvailable(Link link, net::FrameDecoder& decoder, bool* online, Outcome* outcome,
                     std::string* reason);
  bool WritePending(Link link, std::string* reason);
  // Waits up to `ms`; false when a stop was asked for.
  bool Pause(std::uint32_t ms);
  void OnConnectionEnded(const std::string& reason, bool flood);
  void OnLoginRefused(const std::string& reasonGbk);
  void OnCertificateChanged(const std::string& pinned, const std::string& offered);

  // Callers hold m_mutex: state changes and status texts stay in one order with the queue.
  void SetStateLocked(State state) { m_state = state; }
  void PushStatusLocked(const std::string& textGbk, bool persistent);
  void ClearStatusLocked();
  void Log(const std::string& lineUtf8) const;

  TcpTransportOptions m_options;
  Clock* m_clock = &Steady();
  ServerMessageQueue* m_queue = nullptr;
  WakeEvent m_wake;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};

  mutable std::mutex m_mutex;
  State m_state = State::Stopped;
  OutboundQueue m_out{0};
  InboundGate m_gate{0, 0};  // transport thread only
  Stats m_stats;
  std::string m_lastStatus;  // what this transport last put on the status line (GBK)
  std::string m_refusalGbk;   // for the status line, once refused
  std::string m_refusalUtf8;  // the whole story, for the console
  std::unique_ptr<KnownServers> m_known;
};

}  // namespace plat
