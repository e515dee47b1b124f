#include "platform/transport/inboundframe.h"

#include <cstring>

#include "platform/net/framemessages.h"

namespace plat {

namespace {

// A wire text: up to the first zero byte, or the whole field when it has none.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  const void* zero = std::memchr(field, 0, N);
  const std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : N;
  return std::string(field, len);
}

template <typename T>
bool ReadRecord(const net::FrameView& frame, T* out) {
  if (frame.size != sizeof(T)) return false;
  std::memcpy(out, frame.payload, sizeof(T));
  return true;
}

InboundAction FromLogin(const net::FrameView& frame) {
  InboundAction action;
  switch (frame.header.subCmd) {
    case net::kSubUserRecord: {
      net::NetUserRecord rec{};
      if (!ReadRecord(frame, &rec)) break;
      action.kind = InboundAction::Kind::Deliver;
      action.message.kind = ServerMessage::Kind::UserData;
      action.message.hasUser = true;
      action.message.user = MakeUserData(rec.userId, FieldText(rec.nickname), rec.coins, rec.bankCoins);
      break;
    }
    case net::kSubNotice: {
      net::NetNotice rec{};
      if (!ReadRecord(frame, &rec)) break;
      const std::string text = FieldText(rec.text);
      if (text.empty()) break;
      action.kind = InboundAction::Kind::Deliver;
      action.message.kind = ServerMessage::Kind::Status;
      action.message.text = text;
      action.message.persistent = false;
      break;
    }
    case net::kSubLoginRefused: {
      net::NetLoginRefused rec{};
      action.kind = InboundAction::Kind::LoginRefused;
      // The refusal stands whatever its size; the reason is only shown when it is readable.
      if (ReadRecord(frame, &rec)) action.reasonGbk = FieldText(rec.reason);
      break;
    }
    default:
      break;
  }
  return action;
}

}  // namespace

InboundAction TranslateInbound(const net::FrameView& frame) {
  InboundAction action;
  switch (frame.header.mainCmd) {
    case net::kMainLogin:
      return FromLogin(frame);
    case net::kMainScene:
      // The hook's status is one byte; a larger one is not a scene this client knows.
      if (frame.header.subCmd > 0xFF) break;
      action.kind = InboundAction::Kind::Deliver;
      action.message.kind = ServerMessage::Kind::Scene;
      action.message.status = static_cast<std::uint8_t>(frame.header.subCmd);
      action.message.bytes.assign(frame.payload, frame.payload + frame.size);
      break;
    case net::kMainGame:
      action.kind = InboundAction::Kind::Deliver;
      action.message.kind = ServerMessage::Kind::Game;
      action.message.subCmd = frame.header.subCmd;
      action.message.bytes.assign(frame.payload, frame.payload + frame.size);
      break;
    default:  // keep-alives and anything unknown
      break;
  }
  return action;
}

}  // namespace plat
