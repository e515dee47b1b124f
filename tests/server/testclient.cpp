#include "tests/server/testclient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "server/gbktext.h"

namespace veltest {

namespace {
int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
}  // namespace

TestClient::~TestClient() { Disconnect(); }

bool TestClient::Connect(std::uint16_t port, int receiveBufferBytes) {
  Disconnect();
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) return false;
  if (receiveBufferBytes > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof(int));
  int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    Disconnect();
    return false;
  }
  closed_ = false;
  decoder_.Reset();
  inbox_.clear();
  return true;
}

void TestClient::Disconnect() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool TestClient::HangUp(int timeoutMs) {
  if (fd_ < 0 || ::shutdown(fd_, SHUT_WR) != 0) return false;
  const bool closed = WaitClosed(timeoutMs);
  Disconnect();
  return closed;
}

bool TestClient::WaitDelivered(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int unacknowledged = 0;
    if (fd_ < 0 || ::ioctl(fd_, SIOCOUTQ, &unacknowledged) != 0) return false;
    if (unacknowledged == 0) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::yield();
  }
}

bool TestClient::SendRaw(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::send(fd_, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool TestClient::Send(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
  std::string frame;
  if (!plat::net::AppendFrame(frame, mainCmd, subCmd, data, size)) return false;
  return SendRaw(frame.data(), frame.size());
}

bool TestClient::Login(const std::string& nicknameUtf8, const std::string& password) {
  plat::net::NetLoginRequest req{};
  SetFieldText(req.nickname, velsrv::Utf8ToGbk(nicknameUtf8).value_or(std::string()));
  req.protocolVersion = plat::net::kProtocolVersion;
  SetFieldText(req.password, password);
  if (!SendRecord(plat::net::kMainLogin, plat::net::kSubLoginRequest, req)) return false;
  auto record = WaitFor(plat::net::kMainLogin, plat::net::kSubUserRecord);
  if (!record) return false;
  userId_ = record->As<plat::net::NetUserRecord>().userId;
  return true;
}

bool TestClient::Pump(int timeoutMs) {
  if (fd_ < 0 || closed_) return false;
  pollfd pfd{fd_, POLLIN, 0};
  const int ready = ::poll(&pfd, 1, timeoutMs);
  if (ready <= 0) return ready == 0;
  std::uint8_t buffer[65536];
  const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), 0);
  if (n <= 0) {
    closed_ = true;
    return false;
  }
  decoder_.Feed(buffer, static_cast<std::size_t>(n));
  plat::net::FrameView view;
  while (decoder_.Next(&view) == plat::net::FrameDecoder::Status::Ready) {
    Frame f;
    f.mainCmd = view.header.mainCmd;
    f.subCmd = view.header.subCmd;
    f.payload.assign(view.payload, view.payload + view.size);
    inbox_.push_back(std::move(f));
  }
  return !decoder_.IsMalformed();
}

std::optional<Frame> TestClient::WaitFor(std::uint16_t mainCmd, std::uint16_t subCmd, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
      if (it->mainCmd == mainCmd && it->subCmd == subCmd) {
        Frame f = std::move(*it);
        inbox_.erase(it);
        return f;
      }
    }
    const int left = RemainingMs(deadline);
    if (left == 0 || !Pump(left)) return std::nullopt;
  }
}

bool TestClient::WaitForCount(std::uint16_t mainCmd, std::uint16_t subCmd, std::size_t count, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Count(mainCmd, subCmd) < count) {
    const int left = RemainingMs(deadline);
    if (left == 0 || !Pump(left)) return false;
  }
  return true;
}

bool TestClient::Sync() {
  const std::uint32_t token = ++pings_;
  if (!SendRecord(plat::net::kMainHeartbeat, plat::net::kSubPing, token)) return false;
  for (;;) {
    auto pong = WaitFor(plat::net::kMainHeartbeat, plat::net::kSubPong);
    if (!pong) return false;
    if (pong->payload.size() == sizeof(token) && pong->As<std::uint32_t>() == token) return true;
  }
}

bool TestClient::WaitClosed(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!closed_) {
    const int left = RemainingMs(deadline);
    if (left == 0) return false;
    Pump(left);
  }
  return true;
}

std::size_t TestClient::Count(std::uint16_t mainCmd, std::uint16_t subCmd) const {
  std::size_t n = 0;
  for (const Frame& f : inbox_) n += (f.mainCmd == mainCmd && f.subCmd == subCmd) ? 1 : 0;
  return n;
}

}  // namespace veltest
