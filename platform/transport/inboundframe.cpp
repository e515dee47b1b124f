#include "platform/transport/inboundframe.h"

#include <optional>

#include "platform/net/framemessages.h"
#include "platform/net/wirereader.h"

namespace plat {

namespace {

using net::FieldText;

template <typename T>
std::optional<T> ReadRecord(const net::FrameView& frame) {
  return net::ReadExact<T>(frame.payload, frame.size);
}

InboundAction FromLogin(const net::FrameView& frame) {
  InboundAction action;
  switch (frame.header.subCmd) {
    case net::kSubUserRecord: {
      const auto rec = ReadRecord<net::NetUserRecord>(frame);
      if (!rec) break;
      action.kind = InboundAction::Kind::Deliver;
      action.message.kind = ServerMessage::Kind::UserData;
      action.message.hasUser = true;
      action.message.user = MakeUserData(rec->userId, FieldText(rec->nickname), rec->coins, rec->bankCoins);
      break;
    }
    case net::kSubNotice: {
      const auto rec = ReadRecord<net::NetNotice>(frame);
      if (!rec) break;
      const std::string text = FieldText(rec->text);
      if (text.empty()) break;
      action.kind = InboundAction::Kind::Deliver;
      action.message.kind = ServerMessage::Kind::Status;
      action.message.text = text;
      action.message.persistent = false;
      break;
    }
    case net::kSubLoginRefused: {
      action.kind = InboundAction::Kind::LoginRefused;
      // The refusal stands whatever its size; the reason is only shown when it is readable.
      if (const auto rec = ReadRecord<net::NetLoginRefused>(frame)) action.reasonGbk = FieldText(rec->reason);
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
