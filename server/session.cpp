#include "server/session.h"

#include "platform/net/frameencoder.h"

namespace velsrv {

namespace {
// Frames per write call: enough to batch broadcasts under load.
constexpr std::size_t kMaxBatchFrames = 256;
// Refused frames a peer may send before it is taken for a flood.
constexpr unsigned kMaxRefusedFrames = 64;
}  // namespace

Session::Session(std::unique_ptr<PeerStream> stream, Host& host, std::uint64_t id, std::size_t maxQueuedBytes,
                 plat::Clock& clock)
    : stream_(std::move(stream)),
      host_(host),
      id_(id),
      maxQueuedBytes_(maxQueuedBytes),
      clock_(clock),
      openedAtMs_(clock.NowMs()),
      lastReceivedMs_(openedAtMs_) {}

void Session::Start(bool readFrames) {
  asio::error_code ec;
  stream_->Socket().set_option(asio::ip::tcp::no_delay(true), ec);
  auto self = shared_from_this();
  stream_->Handshake([self, readFrames](const asio::error_code& ec) {
    if (self->closed_) return;
    if (ec) {
      self->Drop();  // not our protocol, or a peer that gave up
      return;
    }
    self->ready_ = true;
    self->WriteMore();
    if (readFrames) self->ReadMore();
  });
}

bool Session::CountRefused() { return ++refused_ <= kMaxRefusedFrames; }

void Session::ReadMore() {
  if (closed_) return;
  auto self = shared_from_this();
  stream_->ReadSome(asio::buffer(readBuffer_),
                    [self](const asio::error_code& ec, std::size_t bytes) { self->OnRead(ec, bytes); });
}

void Session::OnRead(const asio::error_code& ec, std::size_t bytes) {
  if (closed_ || closing_) return;
  if (ec) {
    Close();
    return;
  }
  lastReceivedMs_ = clock_.NowMs();
  decoder_.Feed(readBuffer_.data(), bytes);
  HandleFrames();
}

void Session::Resume() {
  if (!held_) return;
  held_ = false;
  if (closed_ || closing_) return;
  HandleFrames();
}

void Session::HandleFrames() {
  plat::net::FrameView frame;
  bool completed = false;
  for (;;) {
    if (held_) return;  // Resume goes on from here
    const auto status = decoder_.Next(&frame);
    if (status == plat::net::FrameDecoder::Status::NeedMore) break;
    if (status == plat::net::FrameDecoder::Status::Malformed) {
      Drop();  // the framing is broken: nothing after this can be trusted
      return;
    }
    completed = true;
    host_.OnFrame(*this, frame);
    if (closed_ || closing_) return;
  }
  // A frame must arrive whole within the host's limit, however slowly it trickles.
  if (decoder_.Buffered() == 0) partialSinceMs_ = 0;
  else if (completed || partialSinceMs_ == 0) partialSinceMs_ = lastReceivedMs_;
  ReadMore();
}

void Session::Send(std::shared_ptr<const std::string> frame) {
  if (closed_ || !frame || frame->empty()) return;
  if (queuedBytes_ + frame->size() > maxQueuedBytes_) {
    Drop();  // a peer this far behind is gone or not reading
    return;
  }
  queuedBytes_ += frame->size();
  pending_.push_back(std::move(frame));
  if (inflight_.empty()) WriteMore();
}

void Session::Send(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
  auto frame = std::make_shared<std::string>();
  if (!plat::net::AppendFrame(*frame, mainCmd, subCmd, data, size)) return;
  Send(std::move(frame));
}

void Session::WriteMore() {
  if (closed_ || !ready_ || pending_.empty()) return;
  buffers_.clear();
  while (!pending_.empty() && inflight_.size() < kMaxBatchFrames) {
    inflight_.push_back(std::move(pending_.front()));
    pending_.pop_front();
    buffers_.emplace_back(asio::buffer(*inflight_.back()));
  }
  writeStartedMs_ = clock_.NowMs();
  auto self = shared_from_this();
  stream_->WriteAll(buffers_, [self](const asio::error_code& ec, std::size_t) { self->OnWritten(ec); });
}

void Session::OnWritten(const asio::error_code& ec) {
  writeStartedMs_ = 0;
  for (const auto& f : inflight_) queuedBytes_ -= f->size();
  inflight_.clear();
  if (closed_) return;
  if (ec || (closing_ && pending_.empty())) {
    Close();
    return;
  }
  WriteMore();
}

void Session::CloseWhenSent() {
  if (closed_) return;
  closing_ = true;
  if (inflight_.empty() && pending_.empty()) Close();
}

void Session::Drop() {
  if (closed_) return;
  dropped_ = true;
  Close();
}

void Session::Close() {
  if (closed_) return;
  closed_ = true;
  auto self = shared_from_this();  // the host may drop its reference below
  // Input left unread would turn the close into a reset, which may throw away
  // the last frame queued (a refusal) before the peer has it.
  asio::error_code ec;
  asio::ip::tcp::socket& socket = stream_->Socket();
  char sink[4096];
  for (int i = 0; i < 16 && socket.available(ec) > 0 && !ec; ++i) socket.read_some(asio::buffer(sink), ec);
  stream_->Close();
  pending_.clear();
  host_.OnClosed(*this);
}

}  // namespace velsrv
