#include "platform/transport/tcpsocket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/transport/wakeevent.h"

namespace plat {

namespace {

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

// Waits for a connect in progress; 0 when connected, else an errno value (ETIMEDOUT, EINTR for
// a stop).
int WaitConnected(int fd, const TcpSocket::ConnectWait& wait, std::uint64_t deadlineMs) {
  const int wakeFd = wait.wake != nullptr ? wait.wake->Fd() : -1;
  for (;;) {
    if (wait.clock.NowMs() >= deadlineMs) return ETIMEDOUT;
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
    const int n = ::poll(fds, wakeFd >= 0 ? 2 : 1, wait.clock.PollTimeoutMs(deadlineMs));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (wakeFd >= 0 && (fds[1].revents & POLLIN) != 0) {
      wait.wake->Drain();
      if (wait.stop == nullptr || *wait.stop) return EINTR;
    }
    if (fds[0].revents != 0) {
      int soError = 0;
      socklen_t len = sizeof(soError);
      if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) return errno;
      return soError;
    }
  }
}

}  // namespace

TcpSocket::~TcpSocket() { Close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = std::exchange(other.m_fd, -1);
  }
  return *this;
}

void TcpSocket::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

TcpSocket TcpSocket::Connect(const std::string& host, std::uint16_t port, const ConnectWait& wait,
                             std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* list = nullptr;
  const std::string service = std::to_string(port);
  const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
  if (rc != 0) {
    SetError(error, "cannot resolve " + host + ": " + ::gai_strerror(rc));
    return TcpSocket();
  }
  const std::uint64_t deadline = wait.clock.NowMs() + wait.timeoutMs;
  std::string reason = "no address for " + host;
  TcpSocket result;
  for (addrinfo* ai = list; ai != nullptr && !result.IsOpen(); ai = ai->ai_next) {
    TcpSocket sock(::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            ai->ai_protocol));
    if (!sock.IsOpen()) {
      reason = std::string("socket: ") + std::strerror(errno);
      continue;
    }
    int err = 0;
    if (::connect(sock.m_fd, ai->ai_addr, ai->ai_addrlen) != 0) {
      err = errno == EINPROGRESS ? WaitConnected(sock.m_fd, wait, deadline) : errno;
    }
    if (err == EINTR) {
      reason = "interrupted";
      break;
    }
    if (err != 0) {
      reason = err == ETIMEDOUT ? std::string("timed out") : std::string(std::strerror(err));
      continue;
    }
    // Requests are small and latency matters more than packet count.
    const int one = 1;
    ::setsockopt(sock.m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    result = std::move(sock);
  }
  ::freeaddrinfo(list);
  if (!result.IsOpen()) SetError(error, reason);
  return result;
}

TcpSocket::IoResult TcpSocket::Read(void* buffer, std::size_t size, std::size_t* done,
                                    std::string* error) {
  *done = 0;
  for (;;) {
    const ssize_t n = ::recv(m_fd, buffer, size, 0);
    if (n > 0) {
      *done = static_cast<std::size_t>(n);
      return IoResult::Ok;
    }
    if (n == 0) return IoResult::Closed;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return IoResult::WouldBlock;
    if (errno == ECONNRESET) return IoResult::Closed;
    SetError(error, std::string("read: ") + std::strerror(errno));
    return IoResult::Error;
  }
}

TcpSocket::IoResult TcpSocket::Write(const void* data, std::size_t size, std::size_t* done,
                                     std::string* error) {
  *done = 0;
  for (;;) {
    // MSG_NOSIGNAL: a peer that went away must not kill the process with SIGPIPE.
    const ssize_t n = ::send(m_fd, data, size, MSG_NOSIGNAL);
    if (n >= 0) {
      *done = static_cast<std::size_t>(n);
      return IoResult::Ok;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return IoResult::WouldBlock;
    if (errno == ECONNRESET || errno == EPIPE) return IoResult::Closed;
    SetError(error, std::string("write: ") + std::strerror(errno));
    return IoResult::Error;
  }
}

}  // namespace plat
