#include "testing/fakeserver.h"

namespace plat {

bool FakeServer::Game(std::uint16_t subCmd, std::vector<std::uint8_t> bytes) {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::Game;
  msg.subCmd = subCmd;
  msg.bytes = std::move(bytes);
  return m_queue.Push(std::move(msg));
}

bool FakeServer::Game(std::uint16_t subCmd, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  return Game(subCmd, (p != nullptr) ? std::vector<std::uint8_t>(p, p + size)
                                     : std::vector<std::uint8_t>());
}

bool FakeServer::Scene(std::uint8_t status, bool lookOn, std::vector<std::uint8_t> bytes) {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::Scene;
  msg.status = status;
  msg.lookOn = lookOn;
  msg.bytes = std::move(bytes);
  return m_queue.Push(std::move(msg));
}

bool FakeServer::Frame(std::uint16_t subCmd, std::vector<std::uint8_t> bytes) {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::Frame;
  msg.subCmd = subCmd;
  msg.bytes = std::move(bytes);
  return m_queue.Push(std::move(msg));
}

bool FakeServer::User(const tagUserData& user) {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::UserData;
  msg.hasUser = true;
  msg.user = user;
  return m_queue.Push(std::move(msg));
}

bool FakeServer::NoUser() {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::UserData;
  msg.hasUser = false;
  return m_queue.Push(std::move(msg));
}

bool FakeServer::Status(const std::string& textGbk, bool persistent) {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::Status;
  msg.text = textGbk;
  msg.persistent = persistent;
  return m_queue.Push(std::move(msg));
}

bool FakeServer::ClearStatus() {
  ServerMessage msg;
  msg.kind = ServerMessage::Kind::ClearStatus;
  return m_queue.Push(std::move(msg));
}

}  // namespace plat
