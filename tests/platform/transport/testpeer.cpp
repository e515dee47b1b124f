#include "tests/platform/transport/testpeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/net/frameencoder.h"

namespace veltest {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

int Listen(std::uint16_t* port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof(addr);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || ::listen(fd, 8) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(fd);
    return -1;
  }
  *port = ntohs(addr.sin_port);
  return fd;
}

}  // namespace

PeerConnection::~PeerConnection() { Close(); }

void PeerConnection::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

bool PeerConnection::SendRaw(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0 && m_fd >= 0) {
    const ssize_t n = ::send(m_fd, p, size, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return size == 0;
}

bool PeerConnection::SendFrame(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
                               std::size_t size) {
  std::vector<std::uint8_t> bytes;
  return plat::net::AppendFrame(bytes, mainCmd, subCmd, data, size) &&
         SendRaw(bytes.data(), bytes.size());
}

std::size_t PeerConnection::Flood(const std::vector<std::uint8_t>& bytes, int ms,
                                  const std::function<void()>& whileHeld) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::size_t sent = 0;
  std::size_t offset = 0;
  while (m_fd >= 0 && !bytes.empty()) {
    const int left = MsLeft(deadline);
    if (left <= 0) break;
    pollfd p = {m_fd, POLLOUT, 0};
    if (::poll(&p, 1, std::min(left, 20)) <= 0) {
      if (whileHeld) whileHeld();
      continue;
    }
    if ((p.revents & (POLLERR | POLLHUP)) != 0) break;
    const ssize_t n = ::send(m_fd, bytes.data() + offset, bytes.size() - offset, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      break;  // the client closed
    }
    sent += static_cast<std::size_t>(n);
    offset = (offset + static_cast<std::size_t>(n)) % bytes.size();
  }
  return sent;
}

bool PeerConnection::Fill(int timeoutMs) {
  if (m_fd < 0 || m_closed) return false;
  pollfd p = {m_fd, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return false;
  std::uint8_t buffer[4096];
  const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), 0);
  if (n <= 0) {
    m_closed = true;
    return false;
  }
  m_decoder.Feed(buffer, static_cast<std::size_t>(n));
  plat::net::FrameView view;
  while (m_decoder.Next(&view) == plat::net::FrameDecoder::Status::Ready) {
    m_pending.push_back({view.header.mainCmd, view.header.subCmd,
                         std::vector<std::uint8_t>(view.payload, view.payload + view.size)});
  }
  return true;
}

std::optional<PeerFrame> PeerConnection::ReadFrame(int timeoutMs, bool keepAlives) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    while (!m_pending.empty()) {
      PeerFrame frame = std::move(m_pending.front());
      m_pending.erase(m_pending.begin());
      if (keepAlives || frame.mainCmd != 0) return frame;
    }
    if (!Fill(MsLeft(deadline))) return std::nullopt;
  }
}

bool PeerConnection::WaitClosed(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!m_closed) {
    if (!Fill(MsLeft(deadline)) && !m_closed) return false;
  }
  return true;
}

TestPeer::TestPeer() { m_fd = Listen(&m_port); }

TestPeer::~TestPeer() { StopListening(); }

void TestPeer::StopListening() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

std::unique_ptr<PeerConnection> TestPeer::Accept(int timeoutMs) {
  if (m_fd < 0) return nullptr;
  pollfd p = {m_fd, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return nullptr;
  const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
  return fd < 0 ? nullptr : std::make_unique<PeerConnection>(fd);
}

std::uint16_t UnusedPort() {
  std::uint16_t port = 0;
  const int fd = Listen(&port);
  if (fd >= 0) ::close(fd);
  return port;
}

}  // namespace veltest
