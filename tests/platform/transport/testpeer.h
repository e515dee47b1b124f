#pragma once
// A tiny scripted server for the transport tests: a loopback listener whose connections are
// read and written with deadlines, so a transport that misbehaves fails a test, never hangs it.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/framedecoder.h"

namespace veltest {

struct PeerFrame {
  std::uint16_t mainCmd = 0;
  std::uint16_t subCmd = 0;
  std::vector<std::uint8_t> payload;
};

class PeerConnection {
 public:
  explicit PeerConnection(int fd) : m_fd(fd) {}
  ~PeerConnection();
  PeerConnection(const PeerConnection&) = delete;
  PeerConnection& operator=(const PeerConnection&) = delete;

  bool SendRaw(const void* data, std::size_t size);
  bool SendFrame(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size);
  // Sends `bytes` over and over without blocking for up to `ms` (a flood), stopping early when
  // the client goes; `whileHeld` runs whenever the client takes nothing for a moment. Returns
  // the bytes the connection took.
  std::size_t Flood(const std::vector<std::uint8_t>& bytes, int ms, const std::function<void()>& whileHeld = {});
  // The next frame from the client, skipping keep-alives unless asked for them.
  std::optional<PeerFrame> ReadFrame(int timeoutMs, bool keepAlives = false);
  // True when the client closes its end within the time.
  bool WaitClosed(int timeoutMs);
  void Close();

 private:
  bool Fill(int timeoutMs);  // reads once; false on close, error or time-out

  int m_fd;
  bool m_closed = false;
  plat::net::FrameDecoder m_decoder;
  std::vector<PeerFrame> m_pending;
};

class TestPeer {
 public:
  TestPeer();  // listens on 127.0.0.1, a free port
  ~TestPeer();
  TestPeer(const TestPeer&) = delete;
  TestPeer& operator=(const TestPeer&) = delete;

  std::uint16_t Port() const { return m_port; }
  // The next connection, or null when none comes within the time.
  std::unique_ptr<PeerConnection> Accept(int timeoutMs);
  void StopListening();

 private:
  int m_fd = -1;
  std::uint16_t m_port = 0;
};

// A loopback port nobody listens on (bound, then released).
std::uint16_t UnusedPort();

}  // namespace veltest
