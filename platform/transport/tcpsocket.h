#pragma once
// A non-blocking TCP client socket that owns its descriptor.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/time/clock.h"

namespace plat {

class WakeEvent;

class TcpSocket {
 public:
  enum class IoResult { Ok, WouldBlock, Closed, Error };

  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // What a connect waits for: `timeoutMs` on `clock`, or less when `stop` (if given) is set and
  // `wake` (if given) signalled. A signal without a stop only looks at the clock again.
  struct ConnectWait {
    Clock& clock;
    std::uint32_t timeoutMs;
    WakeEvent* wake = nullptr;
    const std::atomic<bool>* stop = nullptr;
  };
  // Resolves `host` and connects to the first address that answers in time. A closed socket and
  // a reason on failure.
  static TcpSocket Connect(const std::string& host, std::uint16_t port, const ConnectWait& wait,
                           std::string* error);

  bool IsOpen() const { return m_fd >= 0; }
  int Fd() const { return m_fd; }
  // Ok with *done > 0 bytes, WouldBlock, Closed (peer closed or reset) or Error (reason set).
  IoResult Read(void* buffer, std::size_t size, std::size_t* done, std::string* error);
  IoResult Write(const void* data, std::size_t size, std::size_t* done, std::string* error);
  void Close();

 private:
  explicit TcpSocket(int fd) : m_fd(fd) {}
  int m_fd = -1;
};

}  // namespace plat
