#pragma once
// A non-blocking TCP client socket that owns its descriptor.
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

class TcpSocket {
 public:
  enum class IoResult { Ok, WouldBlock, Closed, Error };

  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Resolves `host` and connects to the first address that answers within `timeoutMs`. Gives up
  // early when `wakeFd` (if >= 0) becomes readable. A closed socket and a reason on failure.
  static TcpSocket Connect(const std::string& host, std::uint16_t port, std::uint32_t timeoutMs,
                           int wakeFd, std::string* error);

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
