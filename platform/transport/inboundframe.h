#pragma once
// What a frame from the server means to the frame loop: a message for the queue, a refused
// login, or nothing (keep-alives, unknown commands, records of the wrong size, which the
// protocol says to ignore while keeping the connection).
#include <string>

#include "platform/frame/servermessage.h"
#include "platform/net/framedecoder.h"

namespace plat {

struct InboundAction {
  enum class Kind { Deliver, Ignore, LoginRefused };
  Kind kind = Kind::Ignore;
  ServerMessage message;  // Deliver
  std::string reasonGbk;  // LoginRefused
};

InboundAction TranslateInbound(const net::FrameView& frame);

}  // namespace plat
