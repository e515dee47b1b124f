// The wire frame decoder that both the client's transport and the server
// read through, fed in arbitrary pieces, and the client's reading of every
// frame it yields. Checks that the split does not matter: the frames and the
// malformed verdict equal those of decoding the same bytes in one piece.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzzinput.h"
#include "platform/net/framedecoder.h"
#include "platform/transport/inboundframe.h"

namespace {

namespace net = plat::net;

constexpr std::size_t kChunkPlan = 8;  // piece sizes, used in turn

struct Decoded {
  std::vector<std::vector<std::uint8_t>> frames;  // header fields then payload
  bool malformed = false;
};

// Takes every ready frame out, checking what the decoder promises about it.
void Drain(net::FrameDecoder& decoder, std::size_t maxPayload, Decoded* out) {
  net::FrameView frame;
  for (;;) {
    const auto status = decoder.Next(&frame);
    if (status == net::FrameDecoder::Status::NeedMore) {
      if (decoder.IsMalformed()) std::abort();
      return;
    }
    if (status == net::FrameDecoder::Status::Malformed) {
      if (!decoder.IsMalformed() || decoder.Buffered() != 0) std::abort();
      out->malformed = true;
      return;
    }
    if (frame.size != frame.header.length || frame.size > maxPayload) std::abort();
    if (frame.size > 0 && frame.payload == nullptr) std::abort();
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(frame.header.mainCmd),
                                       static_cast<std::uint8_t>(frame.header.mainCmd >> 8),
                                       static_cast<std::uint8_t>(frame.header.subCmd),
                                       static_cast<std::uint8_t>(frame.header.subCmd >> 8)};
    bytes.insert(bytes.end(), frame.payload, frame.payload + frame.size);
    out->frames.push_back(std::move(bytes));
    // The client's side of the same frame; the result must be self-consistent.
    const plat::InboundAction action = plat::TranslateInbound(frame);
    if (action.kind == plat::InboundAction::Kind::Deliver &&
        action.message.kind == plat::ServerMessage::Kind::Game && action.message.bytes.size() != frame.size)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velfuzz::FuzzInput in(data, size);
  // Mostly the real limit; sometimes a tiny one so the malformed path is hit often.
  const std::uint8_t limitChoice = in.Byte();
  const std::size_t maxPayload = (limitChoice & 1) ? limitChoice : net::kMaxFramePayload;
  std::size_t plan[kChunkPlan];
  for (std::size_t& piece : plan) piece = in.Byte();
  std::size_t streamSize = 0;
  const std::uint8_t* stream = in.Rest(&streamSize);

  net::FrameDecoder split(maxPayload);
  Decoded pieces;
  std::size_t fed = 0, consumed = 0, step = 0;
  while (fed < streamSize) {
    std::size_t n = plan[step++ % kChunkPlan];
    if (n == 0) n = 1;
    if (n > streamSize - fed) n = streamSize - fed;
    split.Feed(stream + fed, n);
    fed += n;
    const std::size_t framesBefore = pieces.frames.size();
    Drain(split, maxPayload, &pieces);
    for (std::size_t i = framesBefore; i < pieces.frames.size(); ++i)
      consumed += net::kFrameHeaderSize + pieces.frames[i].size() - 4;
    if (!pieces.malformed && split.Buffered() != fed - consumed) std::abort();
  }

  net::FrameDecoder whole(maxPayload);
  Decoded once;
  whole.Feed(stream, streamSize);
  Drain(whole, maxPayload, &once);
  if (once.malformed != pieces.malformed || once.frames != pieces.frames) std::abort();

  // Reset gives a decoder as good as new.
  split.Reset();
  Decoded again;
  split.Feed(stream, streamSize);
  Drain(split, maxPayload, &again);
  if (again.frames != once.frames || again.malformed != once.malformed) std::abort();
  return 0;
}
