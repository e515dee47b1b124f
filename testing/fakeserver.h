#pragma once
// Stands in for the server in tests and headless runs: pushes messages into the frame's queue
// exactly as the network transport would.
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/frame/servermessagequeue.h"

namespace plat {

class FakeServer {
 public:
  explicit FakeServer(ServerMessageQueue& queue) : m_queue(queue) {}

  bool Game(std::uint16_t subCmd, std::vector<std::uint8_t> bytes);
  bool Game(std::uint16_t subCmd, const void* data, std::size_t size);
  // A plain record sent as its raw bytes.
  template <typename T>
  bool GameRecord(std::uint16_t subCmd, const T& record) {
    static_assert(std::is_trivially_copyable<T>::value, "records travel as raw bytes");
    return Game(subCmd, &record, sizeof(T));
  }
  bool Scene(std::uint8_t status, bool lookOn, std::vector<std::uint8_t> bytes);
  bool Frame(std::uint16_t subCmd, std::vector<std::uint8_t> bytes);
  bool User(const tagUserData& user);
  bool NoUser();
  bool Status(const std::string& textGbk, bool persistent);
  bool ClearStatus();

 private:
  ServerMessageQueue& m_queue;
};

}  // namespace plat
