#include "platform/transport/tcptransport.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/net/framedecoder.h"
#include "platform/net/framemessages.h"
#include "platform/text/textconv.h"
#include "platform/transport/inboundframe.h"

namespace plat {

namespace {

// Status line texts, GBK like everything the frame draws.
const std::string kTextConnecting = Utf8ToGbk("正在连接服务器…");
const std::string kTextCannotConnect = Utf8ToGbk("无法连接服务器，正在重试…");
const std::string kTextLost = Utf8ToGbk("与服务器的连接已断开，正在重新连接…");
const std::string kTextLostRequests = Utf8ToGbk("与服务器的连接已断开，未送达的操作已取消，正在重新连接…");
const std::string kTextOffline = Utf8ToGbk("未连接服务器，操作未发送，正在重新连接…");
const std::string kTextRefusedPrefix = Utf8ToGbk("服务器拒绝登录：");
const std::string kTextOfflineRefusedPrefix = Utf8ToGbk("未连接服务器，操作未发送。");
const std::string kTextBusy = Utf8ToGbk("网络繁忙，操作未发送");
const std::string kTextFlood = Utf8ToGbk("服务器发送的消息过多，连接已断开，正在重新连接…");
const std::string kTextCertificateChanged = Utf8ToGbk("服务器证书与上次不同，已拒绝连接（详见控制台）");

constexpr std::size_t kReadChunk = 16384;
// Reads per wake-up before writes, timers and a stop get their turn.
constexpr int kMaxReadsPerPass = 64;
// While refused, the thread only waits for Stop.
constexpr std::uint32_t kRefusedPollMs = 1000;
// While the inbound queue is full, how often the thread looks whether the UI thread took some.
constexpr int kFullQueuePollMs = 5;

int EarliestTimeout(int a, int b) {
  if (a < 0) return b;
  if (b < 0) return a;
  return std::min(a, b);
}

}  // namespace

TcpTransport::~TcpTransport() { Stop(); }

bool TcpTransport::Start(ServerMessageQueue& queue, const TcpTransportOptions& options,
                         std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  if (m_thread.joinable()) return fail("transport already running");
  if (options.host.empty() || options.port == 0) return fail("no server address");
  if (options.nicknameGbk.empty() || options.nicknameGbk.size() >= net::kNetNicknameLen)
    return fail("nickname must be 1 to 31 bytes");
  if (options.password.empty() || options.password.size() > net::kNetPasswordLen)
    return fail("password must be 1 to " + std::to_string(net::kNetPasswordLen) + " bytes");
  if (options.password.find('\0') != std::string::npos) return fail("password must not contain a zero byte");
  if (!m_wake.IsValid()) return fail("cannot create the wake-up event");

  m_options = options;
  m_clock = options.clock != nullptr ? options.clock : &Steady();
  m_queue = &queue;
  m_known = std::make_unique<KnownServers>(options.knownServersPath);
  m_stop = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_out = OutboundQueue(options.maxQueuedBytes);
    m_gate = InboundGate(options.maxInboundBytes, options.floodMs);
    m_stats = Stats();
    m_lastStatus.clear();
    m_refusalGbk.clear();
    m_refusalUtf8.clear();
    SetStateLocked(State::Connecting);
    PushStatusLocked(kTextConnecting, true);
  }
  m_clock->AddWatcher(this);
  m_thread = std::thread([this] { Run(); });
  return true;
}

void TcpTransport::Stop() {
  if (!m_thread.joinable()) return;
  m_stop = true;
  m_wake.Signal();
  m_thread.join();
  m_clock->RemoveWatcher(this);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_out.Clear(net::kMainGame);
  SetStateLocked(State::Stopped);
}

bool TcpTransport::Send(std::uint16_t mainCmd, std::uint16_t subCmd, const std::uint8_t* data,
                        std::size_t size) {
  if ((data == nullptr && size != 0) || size > net::kMaxFramePayload) return false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != State::Online) {
      ++m_stats.requestsRefused;
      PushStatusLocked(m_state == State::Refused ? kTextOfflineRefusedPrefix + m_refusalGbk
                                                 : kTextOffline,
                       true);
      return false;
    }
    if (!m_out.Push(mainCmd, subCmd, data, size)) {
      ++m_stats.requestsRefused;
      PushStatusLocked(kTextBusy, false);
      return false;
    }
    ++m_stats.requestsSent;
  }
  m_wake.Signal();
  return true;
}

TcpTransport::State TcpTransport::GetState() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_state;
}

TcpTransport::Stats TcpTransport::GetStats() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_stats;
}

std::string TcpTransport::RefusalText() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_refusalUtf8;
}

TcpSocket::IoResult TcpTransport::Link::Read(void* buffer, std::size_t size, std::size_t* done,
                                             std::string* error) {
  return tls != nullptr ? tls->Read(buffer, size, done, error) : socket.Read(buffer, size, done, error);
}

TcpSocket::IoResult TcpTransport::Link::Write(const void* data, std::size_t size, std::size_t* done,
                                              std::string* error) {
  return tls != nullptr ? tls->Write(data, size, done, error) : socket.Write(data, size, done, error);
}

std::string TcpTransport::Endpoint() const {
  return m_options.host + ":" + std::to_string(m_options.port);
}

void TcpTransport::PushStatusLocked(const std::string& textGbk, bool persistent) {
  // The same text again would only repeat itself in the chat history.
  if (m_queue == nullptr || textGbk == m_lastStatus) return;
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::Status;
  msg.text = textGbk;
  msg.persistent = persistent;
  m_queue->Push(std::move(msg));
  m_lastStatus = textGbk;
}

void TcpTransport::ClearStatusLocked() {
  if (m_queue == nullptr || m_lastStatus.empty()) return;
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::ClearStatus;
  m_queue->Push(std::move(msg));
  m_lastStatus.clear();
}

void TcpTransport::Log(const std::string& lineUtf8) const {
  if (m_options.log) {
    m_options.log(lineUtf8);
  } else {
    std::fprintf(stderr, "velmora: %s\n", lineUtf8.c_str());
  }
}

bool TcpTransport::Pause(std::uint32_t ms) {
  const std::uint64_t deadline = m_clock->NowMs() + ms;
  while (!m_stop) {
    if (m_clock->NowMs() >= deadline) return true;
    pollfd fd = {m_wake.Fd(), POLLIN, 0};
    if (::poll(&fd, 1, m_clock->PollTimeoutMs(deadline)) > 0) m_wake.Drain();
  }
  return false;
}

void TcpTransport::Run() {
  ReconnectBackoff backoff(m_options.retryFirstMs, m_options.retryMaxMs);
  bool everOnline = false;
  while (!m_stop) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      SetStateLocked(State::Connecting);
      ++m_stats.connectAttempts;
    }
    std::string reason;
    TcpSocket socket = TcpSocket::Connect(
        m_options.host, m_options.port, {*m_clock, m_options.connectTimeoutMs, &m_wake, &m_stop}, &reason);
    if (m_stop) break;
    if (!socket.IsOpen()) {
      const std::uint32_t delay = backoff.Next();
      Log("cannot connect to " + Endpoint() + " (" + reason + "); retrying in " +
          std::to_string(delay) + " ms");
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        SetStateLocked(State::Waiting);
        // Once an offline text is up, every further failed attempt would only repeat it.
        if (m_lastStatus.empty() || m_lastStatus == kTextConnecting)
          PushStatusLocked(everOnline ? kTextLost : kTextCannotConnect, true);
      }
      Pause(delay);
      continue;
    }
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_stats.connections;
    }
    const std::uint64_t loginsBefore = GetStats().logins;
    std::unique_ptr<TlsChannel> tls;
    Outcome outcome = Outcome::Lost;
    if (!m_options.tls || Secure(socket, &tls, &outcome, &reason))
      outcome = RunConnection(Link{socket, tls.get()}, &reason);
    tls.reset();
    socket.Close();
    if (GetStats().logins != loginsBefore) {
      everOnline = true;
      backoff.Reset();
    }
    if (outcome == Outcome::Stopped) break;
    if (outcome == Outcome::Refused) {
      // Trying again would be refused the same way (or push out our own newer login).
      while (Pause(kRefusedPollMs)) {
      }
      break;
    }
    OnConnectionEnded(reason, outcome == Outcome::Flood);
    // After a flood the longest delay: the server gets no quick second go, and the player has
    // time to read why the game went quiet.
    Pause(outcome == Outcome::Flood ? m_options.retryMaxMs : backoff.Next());
  }
}

void TcpTransport::OnConnectionEnded(const std::string& reason, bool flood) {
  std::size_t lost = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    lost = m_out.Clear(net::kMainGame);
    m_stats.requestsLost += lost;
    ++m_stats.losses;
    SetStateLocked(State::Waiting);
    PushStatusLocked(flood ? kTextFlood : lost > 0 ? kTextLostRequests : kTextLost, true);
  }
  std::string line = "connection to " + Endpoint() + " lost (" + reason + ")";
  if (lost > 0) line += "; " + std::to_string(lost) + " request(s) not sent";
  Log(line + "; reconnecting");
}

void TcpTransport::OnLoginRefused(const std::string& reasonGbk) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_out.Clear(net::kMainGame);
    m_refusalGbk = reasonGbk;
    m_refusalUtf8 = GbkToUtf8(reasonGbk);
    SetStateLocked(State::Refused);
    PushStatusLocked(kTextRefusedPrefix + reasonGbk, true);
  }
  Log("the server at " + Endpoint() + " refused the login: " + GbkToUtf8(reasonGbk));
}

void TcpTransport::OnCertificateChanged(const std::string& pinned, const std::string& offered) {
  const std::string file = m_known->Path().empty() ? std::string("(this run only)") : m_known->Path();
  const std::string text = "the server at " + Endpoint() + " shows another certificate than the one pinned at the first connection:\n" +
                           "  pinned:  " + pinned + "\n  offered: " + offered + "\n" +
                           "Someone may be in between. If the server's operator replaced its certificate on purpose " +
                           "(ask for its fingerprint, printed when velmora-server starts), accept the new one by " +
                           "removing the line for " + Endpoint() + " from " + file + ", then connect again.";
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_out.Clear(net::kMainGame);
    m_refusalGbk = kTextCertificateChanged;
    m_refusalUtf8 = text;
    SetStateLocked(State::Refused);
    PushStatusLocked(kTextCertificateChanged, true);
  }
  Log(text);
}

bool TcpTransport::Secure(TcpSocket& socket, std::unique_ptr<TlsChannel>* tls, Outcome* outcome,
                          std::string* reason) {
  *outcome = Outcome::Lost;
  *tls = TlsChannel::Create(socket, m_options.host, reason);
  if (!*tls) return false;
  // The handshake counts against the login time: a server that never finishes it is dropped.
  const std::uint64_t deadline = m_clock->NowMs() + m_options.loginTimeoutMs;
  for (;;) {
    short events = 0;
    switch ((*tls)->Handshake(reason)) {
      case TlsChannel::Step::Done:
        events = -1;
        break;
      case TlsChannel::Step::WantRead:
        events = POLLIN;
        break;
      case TlsChannel::Step::WantWrite:
        events = POLLOUT;
        break;
      case TlsChannel::Step::Failed:
        return false;
    }
    if (events < 0) break;
    if (m_clock->NowMs() >= deadline) {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_stats.timeouts;
      *reason = "TLS handshake not done within " + std::to_string(m_options.loginTimeoutMs) + " ms";
      return false;
    }
    pollfd fds[2] = {{socket.Fd(), events, 0}, {m_wake.Fd(), POLLIN, 0}};
    if (::poll(fds, 2, m_clock->PollTimeoutMs(deadline)) < 0 && errno != EINTR) {
      *reason = std::string("poll: ") + std::strerror(errno);
      return false;
    }
    if ((fds[1].revents & POLLIN) != 0) m_wake.Drain();
    if (m_stop) {
      *outcome = Outcome::Stopped;
      return false;
    }
  }
  const std::string offered = (*tls)->PeerFingerprint();
  if (offered.empty()) {
    *reason = "the server showed no certificate";
    return false;
  }
  std::string pinned;
  switch (m_known->Check(Endpoint(), offered, &pinned)) {
    case KnownServers::Verdict::Known:
      return true;
    case KnownServers::Verdict::Changed:
      OnCertificateChanged(pinned, offered);
      *outcome = Outcome::Refused;
      *reason = "certificate changed";
      return false;
    case KnownServers::Verdict::New:
      break;
  }
  std::string why;
  if (!m_known->Remember(Endpoint(), offered, &why)) {
    Log("cannot pin the certificate of " + Endpoint() + " (" + why + "); it is trusted for this run only");
    m_known = std::make_unique<KnownServers>(std::string());
    m_known->Remember(Endpoint(), offered, nullptr);
  }
  Log("first connection to " + Endpoint() + ": its certificate " + offered + " is now pinned" +
      (m_known->Path().empty() ? std::string(" for this run") : " in " + m_known->Path()) +
      "; compare it with the fingerprint velmora-server printed when it started");
  return true;
}

TcpTransport::Outcome TcpTransport::RunConnection(Link link, std::string* reason) {
  net::NetLoginRequest login{};
  std::memcpy(login.nickname, m_options.nicknameGbk.data(), m_options.nicknameGbk.size());
  login.protocolVersion = net::kProtocolVersion;
  std::memcpy(login.password, m_options.password.data(), m_options.password.size());
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_out.Clear(net::kMainGame);
    m_out.Push(net::kMainLogin, net::kSubLoginRequest, &login, sizeof(login));
    SetStateLocked(State::LoggingIn);
  }
  std::memset(login.password, 0, sizeof(login.password));
  Log("connected to " + Endpoint() + ", logging in as " + GbkToUtf8(m_options.nicknameGbk));

  // A fresh decoder per connection: bytes of a dead one must never run into the next.
  net::FrameDecoder decoder;
  m_gate.Reset();
  bool online = false;
  const std::uint64_t connectedAt = m_clock->NowMs();
  std::uint64_t lastReceived = connectedAt;
  std::uint64_t lastSent = connectedAt;
  for (;;) {
    if (m_stop) return Outcome::Stopped;
    bool wantWrite = false;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      wantWrite = !m_out.Empty();
    }
    const std::uint64_t now = m_clock->NowMs();
    const std::uint64_t silenceDue =
        m_options.silenceTimeoutMs ? lastReceived + m_options.silenceTimeoutMs : 0;
    const std::uint64_t loginDue = online ? 0 : connectedAt + m_options.loginTimeoutMs;
    const std::uint64_t pingDue =
        m_options.pingIntervalMs && online ? lastSent + m_options.pingIntervalMs : 0;
    int timeout = EarliestTimeout(
        EarliestTimeout(m_clock->PollTimeoutMs(silenceDue), m_clock->PollTimeoutMs(loginDue)),
        m_clock->PollTimeoutMs(pingDue));

    // Back-pressure: with the queue full the socket is not read (its buffers fill and TCP
    // holds the sender back); the thread only looks again shortly.
    const bool mayRead = m_gate.MayRead(m_queue->Bytes(), now);
    if (!mayRead) {
      lastReceived = now;  // the server is anything but silent
      if (m_gate.Flooded(now)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_stats.floods;
        *reason = "flood: the server kept the inbound queue full for " +
                  std::to_string(m_options.floodMs) + " ms";
        return Outcome::Flood;
      }
      timeout = EarliestTimeout(timeout, kFullQueuePollMs);
    }
    // TLS may hold decrypted bytes poll() cannot see, or need the socket writable to read.
    const bool tlsWantsWrite = link.tls != nullptr && link.tls->WantsWrite();
    const bool buffered = mayRead && link.tls != nullptr && link.tls->HasBuffered();
    const short events =
        static_cast<short>((mayRead ? POLLIN : 0) | (wantWrite || tlsWantsWrite ? POLLOUT : 0));
    pollfd fds[2] = {{events != 0 ? link.socket.Fd() : -1, events, 0}, {m_wake.Fd(), POLLIN, 0}};
    if (::poll(fds, 2, buffered ? 0 : timeout) < 0 && errno != EINTR) {
      *reason = std::string("poll: ") + std::strerror(errno);
      return Outcome::Lost;
    }
    if ((fds[1].revents & POLLIN) != 0) m_wake.Drain();
    if (m_stop) return Outcome::Stopped;

    const bool readable = mayRead && ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0 || buffered ||
                                      (tlsWantsWrite && (fds[0].revents & POLLOUT) != 0));
    if (readable) {
      Outcome outcome = Outcome::Lost;
      if (!ReadAvailable(link, decoder, &online, &outcome, reason)) return outcome;
      lastReceived = m_clock->NowMs();
    }
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      wantWrite = !m_out.Empty();
    }
    if (wantWrite) {
      if (!WritePending(link, reason)) return Outcome::Lost;
      lastSent = m_clock->NowMs();
    }

    const std::uint64_t after = m_clock->NowMs();
    if (!online && after >= connectedAt + m_options.loginTimeoutMs) {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_stats.timeouts;
      *reason = "no login answer";
      return Outcome::Lost;
    }
    if (silenceDue != 0 && after >= lastReceived + m_options.silenceTimeoutMs) {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_stats.timeouts;
      *reason = "nothing heard for " + std::to_string(m_options.silenceTimeoutMs) + " ms";
      return Outcome::Lost;
    }
    if (pingDue != 0 && after >= lastSent + m_options.pingIntervalMs) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_out.Push(net::kMainHeartbeat, net::kSubPing, nullptr, 0);
    }
  }
}

bool TcpTransport::ReadAvailable(Link link, net::FrameDecoder& decoder, bool* online,
                                 Outcome* outcome, std::string* reason) {
  std::uint8_t buffer[kReadChunk];
  for (int pass = 0; pass < kMaxReadsPerPass; ++pass) {
    if (!m_gate.MayRead(m_queue->Bytes(), m_clock->NowMs())) return true;
    std::size_t got = 0;
    switch (link.Read(buffer, sizeof(buffer), &got, reason)) {
      case TcpSocket::IoResult::WouldBlock:
        return true;
      case TcpSocket::IoResult::Closed:
        *reason = "closed by the server";
        *outcome = Outcome::Lost;
        return false;
      case TcpSocket::IoResult::Error:
        *outcome = Outcome::Lost;
        return false;
      case TcpSocket::IoResult::Ok:
        break;
    }
    decoder.Feed(buffer, got);
    net::FrameView frame;
    net::FrameDecoder::Status status;
    while ((status = decoder.Next(&frame)) == net::FrameDecoder::Status::Ready) {
      InboundAction action = TranslateInbound(frame);
      if (action.kind == InboundAction::Kind::LoginRefused) {
        OnLoginRefused(action.reasonGbk);
        *outcome = Outcome::Refused;
        return false;
      }
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_stats.framesIn;
      if (action.kind == InboundAction::Kind::Ignore) {
        ++m_stats.framesIgnored;
        continue;
      }
      if (action.message.kind == ServerMessage::Kind::UserData && !*online) {
        *online = true;
        ++m_stats.logins;
        SetStateLocked(State::Online);
        ClearStatusLocked();
      }
      m_queue->Push(std::move(action.message));
    }
    if (status == net::FrameDecoder::Status::Malformed) {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_stats.malformed;
      *reason = "malformed frame";
      *outcome = Outcome::Lost;
      return false;
    }
  }
  return true;
}

bool TcpTransport::WritePending(Link link, std::string* reason) {
  std::lock_guard<std::mutex> lock(m_mutex);
  while (!m_out.Empty()) {
    std::size_t done = 0;
    switch (link.Write(m_out.HeadData(), m_out.HeadSize(), &done, reason)) {
      case TcpSocket::IoResult::Ok:
        m_out.Consume(done);
        break;
      case TcpSocket::IoResult::WouldBlock:
        return true;
      case TcpSocket::IoResult::Closed:
        *reason = "closed by the server";
        return false;
      case TcpSocket::IoResult::Error:
        return false;
    }
  }
  return true;
}

}  // namespace plat
