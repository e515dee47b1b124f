// Server messages and scenes through the real dialog and main view, with
// mouse moves, clicks and timer ticks mixed in and a full draw into the
// headless renderer after every step. Each message is one input split into
// sub-command, size and bytes; a second kind builds bodies of a size the
// size rules accept, so the handlers behind them are reached too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "fuzz/fuzzinput.h"
#include "testing/headlessclient.h"

namespace {

constexpr std::size_t kMaxSteps = 64;
constexpr std::size_t kMaxRecords = 12;

enum Op : std::uint8_t { kRawMessage, kSizedMessage, kScene, kMove, kClick, kTick, kUser, kOpCount };

veltest::HeadlessClient& Client() { return veltest::HeadlessClient::Shared(); }

std::vector<std::uint8_t> Body(velfuzz::FuzzInput& in, std::size_t size) {
  std::vector<std::uint8_t> body(size, 0);
  std::size_t n = 0;
  const std::uint8_t* bytes = in.Bytes(size, &n);
  std::copy(bytes, bytes + n, body.begin());
  return body;
}

std::uint16_t SubCommand(velfuzz::FuzzInput& in) {
  const std::uint8_t b = in.Byte();
  return b >= 0xF0 ? in.U16() : static_cast<std::uint16_t>(SUB_S_FIRST + b % (SUB_S_LAST - SUB_S_FIRST + 1));
}

void Apply(veltest::HeadlessClient& c, velfuzz::FuzzInput& in) {
  switch (in.Byte() % kOpCount) {
    case kRawMessage: {
      const std::uint16_t sub = SubCommand(in);
      const std::vector<std::uint8_t> body = Body(in, in.U16() % 1024);
      c.PushGame(sub, body.data(), body.size());
      break;
    }
    case kSizedMessage: {
      const std::uint16_t sub = SubCommand(in);
      MessageShape shape;
      std::size_t element = 1;
      if (!GetServerMessageShape(sub, &shape, &element)) element = 1;
      const std::size_t count = shape == MessageShape::Fixed ? 1 : in.Byte() % (kMaxRecords + 1);
      const std::vector<std::uint8_t> body = Body(in, count * element);
      c.PushGame(sub, body.data(), body.size());
      break;
    }
    case kScene: {
      const std::uint8_t pick = in.Byte();
      const std::uint8_t status = (pick & 1) ? SCENE_STATUS_PLAY : (pick & 2) ? SCENE_STATUS_FREE : in.Byte();
      const std::vector<std::uint8_t> body = Body(in, (in.Byte() % (kMaxRecords + 1)) * sizeof(CMD_GF_VELMORA_GOODS_ITEM));
      c.PushScene(status, body.data(), body.size());
      break;
    }
    case kMove: {
      const int x = in.U16() % veltest::HeadlessClient::kWidth;
      c.Frame().InjectMouseMove(x, in.U16() % veltest::HeadlessClient::kHeight);
      break;
    }
    case kClick: {
      const int x = in.U16() % veltest::HeadlessClient::kWidth;
      c.Frame().InjectClick(x, in.U16() % veltest::HeadlessClient::kHeight);
      break;
    }
    case kTick:
      c.Clock().Advance(static_cast<std::uint64_t>(in.U16()) * 4);  // up to about four minutes
      break;
    case kUser: {
      const std::uint8_t pick = in.Byte();
      if (pick & 1) {
        c.Frame().SetLocalUser(nullptr, 0, false);
      } else {
        const tagUserData user =
            plat::MakeUserData(veltest::HeadlessClient::kUserId, (pick & 2) ? "Tester" : "", in.U32(), in.U32());
        c.Frame().SetLocalUser(&user, 0, (pick & 4) != 0);
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The client traces every message on stdout; the fuzzer reports on stderr.
  if (!std::freopen("/dev/null", "w", stdout)) return 0;
  Client();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  veltest::HeadlessClient& c = Client();
  c.ResetScene();
  velfuzz::FuzzInput in(data, size);
  for (std::size_t step = 0; step < kMaxSteps && !in.Empty(); ++step) {
    Apply(c, in);
    c.Step(16);
    if (!c.Frame().IsRunning()) std::abort();  // nothing a server sends may end the game
  }
  return 0;
}
