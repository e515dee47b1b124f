#pragma once
// A small protocol client for the server tests: blocking socket, waits with
// deadlines so that a misbehaving server fails a test instead of hanging it.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/net/framedecoder.h"

namespace veltest {

struct Frame {
  std::uint16_t mainCmd = 0;
  std::uint16_t subCmd = 0;
  std::vector<std::uint8_t> payload;

  template <typename T>
  T As() const {
    static_assert(std::is_trivially_copyable_v<T>, "records only");
    T value{};
    std::memcpy(&value, payload.data(), std::min(sizeof(T), payload.size()));
    return value;
  }
  template <typename T>
  std::vector<T> AsList() const {
    std::vector<T> items(payload.size() / sizeof(T));
    if (!items.empty()) std::memcpy(items.data(), payload.data(), items.size() * sizeof(T));
    return items;
  }
};

class TestClient {
 public:
  static constexpr int kWaitMs = 3000;
  static constexpr const char* kPassword = "test-password";

  TestClient() = default;
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool Connect(std::uint16_t port, int receiveBufferBytes = 0);
  void Disconnect();
  // Ends the connection from this side and waits for the server to close its side, which it
  // does in the same step that forgets the connection; true when it did so in time.
  bool HangUp(int timeoutMs = kWaitMs);
  // Waits until the server's end has acknowledged every byte sent: they wait in its socket
  // even while its loop is busy.
  bool WaitDelivered(int timeoutMs = kWaitMs);
  bool SendRaw(const void* data, std::size_t size);
  bool Send(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size);
  template <typename T>
  bool SendRecord(std::uint16_t mainCmd, std::uint16_t subCmd, const T& record) {
    return Send(mainCmd, subCmd, &record, sizeof(T));
  }
  // Logs in with a UTF-8 nickname and waits for the user record.
  bool Login(const std::string& nicknameUtf8, const std::string& password = kPassword);
  std::uint32_t UserId() const { return userId_; }

  // The first unconsumed frame of that kind, waiting for it if needed.
  std::optional<Frame> WaitFor(std::uint16_t mainCmd, std::uint16_t subCmd, int timeoutMs = kWaitMs);
  // Round trip: every frame the server sent before it is in the inbox afterwards.
  bool Sync();
  // True when the server closes the connection within the time.
  bool WaitClosed(int timeoutMs = kWaitMs);
  // Waits until `count` frames of that kind have arrived, leaving them unconsumed.
  bool WaitForCount(std::uint16_t mainCmd, std::uint16_t subCmd, std::size_t count, int timeoutMs = kWaitMs);
  // Frames received and not consumed, in the order they arrived.
  const std::vector<Frame>& Inbox() const { return inbox_; }
  void ClearInbox() { inbox_.clear(); }
  std::size_t Count(std::uint16_t mainCmd, std::uint16_t subCmd) const;

 private:
  // Reads what is available within timeoutMs; false on close or error.
  bool Pump(int timeoutMs);

  int fd_ = -1;
  bool closed_ = false;
  std::uint32_t userId_ = 0;
  std::uint32_t pings_ = 0;
  plat::net::FrameDecoder decoder_;
  std::vector<Frame> inbox_;
};

}  // namespace veltest
